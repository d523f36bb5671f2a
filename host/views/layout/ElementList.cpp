#include "host/views/layout/ElementList.h"

#include "host/state/AppState.h"
#include "host/views/layout/ActivePreset.h"
#include "host/views/layout/BulkStyle.h"
#include "host/views/layout/ElementColor.h"

namespace tandrel {

BurnInElement ElementList::newElement(MetadataField field, std::size_t count,
                                      const BulkStyleValues &bulk) {
    BurnInElement element(field);
    element.posX = 0.05;
    element.posY = 0.05 * static_cast<double>(count) + 0.05;
    element.fontSize = bulk.fontSize;
    // A colour that cannot be read leaves the element's white text and black background.
    ElementColor::apply(element, bulk.textColor, false);
    element.textOpacity = bulk.textOpacity;
    element.showBackground = bulk.showBackground;
    ElementColor::apply(element, bulk.bgColor, true);
    element.bgOpacity = bulk.bgOpacity;
    return element;
}

std::optional<Uuid> ElementList::addElement(AppState &state, MetadataField field,
                                            const BulkStyleValues &bulk) {
    std::optional<Uuid> added;
    ActivePreset(state).update([&](DisplayConfig &preset) {
        BurnInElement element = newElement(field, preset.elements.size(), bulk);
        added = element.id;
        preset.elements.push_back(std::move(element));
    });
    if (added) {
        state.setSelectedElementID(*added);
        state.setSelectedElementIDs({*added});
    }
    return added;
}

std::string ElementList::chipName(const BurnInElement &element) {
    return element.label.empty() ? std::string(element.field.displayName()) : element.label;
}

std::string ElementList::removeLabel(const BurnInElement &element) {
    return "Remove " + chipName(element);
}

bool ElementList::showsRoleWarning(const BurnInElement &element) {
    return element.field == MetadataField::roleText && element.roleFilterUIDs.empty();
}

} // namespace tandrel
