#pragma once

#include "core/model/BurnInElement.h"

#include <cstddef>
#include <optional>
#include <string>

namespace tandrel {

class AppState;
struct BulkStyleValues;

// The rules of the layout editor's element list: the chips of the active preset's elements
// and the "Add Element..." menu.
class ElementList {
public:
    static constexpr const char *addElementTitle = "Add Element...";
    static constexpr const char *pasteElementTitle = "Paste Element";
    static constexpr const char *copyTitle = "Copy";
    static constexpr const char *pasteTitle = "Paste";
    static constexpr const char *roleWarning = "No roles selected — won't show anything";

    // The element that "Add Element..." appends for `field` to a preset of `count` elements:
    // each new one a step of 0.05 above the last (not kept inside the picture: the twentieth
    // starts at 1.0), with the field's labels and the bulk style's size, colours, opacities
    // and background, but never its alignment.
    static BurnInElement newElement(MetadataField field, std::size_t count,
                                    const BulkStyleValues &bulk);
    // Appends the new element to the active preset in one write and selects it alone (the
    // "Editor" panel is not opened for it); nothing without an active preset.
    static std::optional<Uuid> addElement(AppState &state, MetadataField field,
                                          const BulkStyleValues &bulk);

    // The chip's text: the label, or the field's name for an element without one.
    static std::string chipName(const BurnInElement &element);
    // The accessibility label of the chip's remove button.
    static std::string removeLabel(const BurnInElement &element);
    // A role element that no role triggers shows nothing: its chip warns about it.
    static bool showsRoleWarning(const BurnInElement &element);
};

} // namespace tandrel
