#include "host/views/layout/ElementEditorRows.h"

namespace tandrel::ElementEditorRows {

std::vector<ElementEditorRow> of(MetadataField shown) {
    using enum ElementEditorRow;
    std::vector<ElementEditorRow> rows;
    rows.reserve(14);
    rows.push_back(ElementEditorRow::field);
    switch (shown) {
    case MetadataField::marker:
    case MetadataField::markerName:
    case MetadataField::markerNote:
        rows.push_back(markerTypeFilter);
        break;
    case MetadataField::roleText:
        rows.push_back(rolePicker);
        break;
    default:
        break;
    }
    rows.push_back(label);
    if (shown == MetadataField::stackedLayerReel || shown == MetadataField::stackedLayerSlate) {
        rows.push_back(stackedLayerOptions);
    }
    for (const ElementEditorRow style :
         {fontSize, textAlignment, textColor, fontOpacity, background, backgroundColor,
          backgroundOpacity, positionX, positionY}) {
        rows.push_back(style);
    }
    return rows;
}

std::string_view title(ElementEditorRow row) {
    switch (row) {
    case ElementEditorRow::field:
        return "Field";
    case ElementEditorRow::label:
        return "Label";
    case ElementEditorRow::fontSize:
        return "Font Size";
    case ElementEditorRow::textAlignment:
        return "Text Alignment";
    case ElementEditorRow::textColor:
        return "Text Color";
    case ElementEditorRow::fontOpacity:
        return "Font Opacity";
    case ElementEditorRow::background:
        return "Background";
    case ElementEditorRow::backgroundColor:
        return "Background Color";
    case ElementEditorRow::backgroundOpacity:
        return "Background Opacity";
    case ElementEditorRow::positionX:
        return "Position X";
    case ElementEditorRow::positionY:
        return "Position Y";
    case ElementEditorRow::markerTypeFilter:
    case ElementEditorRow::rolePicker:
    case ElementEditorRow::stackedLayerOptions:
        break;
    }
    return {};
}

std::optional<Number> number(ElementEditorRow row) {
    switch (row) {
    case ElementEditorRow::fontSize:
        return Number{&BurnInElement::fontSize, SliderScale(12, 72, 1)};
    case ElementEditorRow::fontOpacity:
        return Number{&BurnInElement::textOpacity, SliderScale(0, 1, 0.05)};
    case ElementEditorRow::backgroundOpacity:
        return Number{&BurnInElement::bgOpacity, SliderScale(0, 1, 0.05)};
    case ElementEditorRow::positionX:
        return Number{&BurnInElement::posX, SliderScale(0, 1, 0.01)};
    case ElementEditorRow::positionY:
        return Number{&BurnInElement::posY, SliderScale(0, 1, 0.01)};
    default:
        return std::nullopt;
    }
}

} // namespace tandrel::ElementEditorRows
