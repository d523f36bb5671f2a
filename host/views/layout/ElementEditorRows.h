#pragma once

#include "core/model/BurnInElement.h"
#include "host/views/layout/SliderScale.h"

#include <optional>
#include <string_view>
#include <vector>

namespace tandrel {

// The rows of the element editor, in the order they stand in.
enum class ElementEditorRow : unsigned char {
    field,
    markerTypeFilter,
    rolePicker,
    label,
    stackedLayerOptions,
    fontSize,
    textAlignment,
    textColor,
    fontOpacity,
    background,
    backgroundColor,
    backgroundOpacity,
    positionX,
    positionY,
};

// Which rows the element editor shows for an element, their titles, and the numbers its
// commit-on-release sliders edit. Three rows are sections of certain fields only: the
// marker-type filter for the marker fields that tell markers apart by kind, the role picker
// for role text, the stacked-layer options for the two block fields.
namespace ElementEditorRows {

std::vector<ElementEditorRow> of(MetadataField field);

// The row's title; the sections have none of their own.
std::string_view title(ElementEditorRow row);

// A number of the element, edited with a commit-on-release slider over a scale.
struct Number {
    double BurnInElement::*member;
    SliderScale scale;
};
// The five slider rows' numbers; nothing for the other rows.
std::optional<Number> number(ElementEditorRow row);

} // namespace ElementEditorRows

} // namespace tandrel
