#pragma once

#include "core/model/BurnInTextAlignment.h"
#include "core/model/MarkerType.h"
#include "core/model/MetadataField.h"
#include "core/model/RoleDisplayMode.h"
#include "core/model/StackedLayerColumns.h"
#include "core/model/StackedLayerPrefixPosition.h"
#include "core/support/Json.h"
#include "core/support/Uuid.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace tandrel {

// One text element of a burn-in preset. Positions are fractions of the frame, colours and
// opacities 0 to 1. Its JSON form is read tolerantly: every member but `field` may be missing
// and takes the default below, and two keys of an older element format are still read.
struct BurnInElement {
    // An element for `field` with every other member at its default: a new id, the field's
    // default label and secondary label, enabled, white text on a black background at 0.7
    // in the top-left corner, size 24, reacting to chapter markers, no roles, left-aligned.
    explicit BurnInElement(MetadataField field);

    Uuid id;
    MetadataField field;
    std::string label;
    // The second label of the stacked-layer blocks.
    std::string secondaryLabel;
    bool isEnabled = true;
    double posX = 0.05;
    double posY = 0.05;
    double fontSize = 24;
    double textR = 1;
    double textG = 1;
    double textB = 1;
    double textOpacity = 1;
    bool showBackground = true;
    double bgR = 0;
    double bgG = 0;
    double bgB = 0;
    double bgOpacity = 0.7;
    // The marker kinds a marker element reacts to.
    std::set<MarkerType> markerTypes{MarkerType::chapter};
    // The roles that trigger a role-text element.
    std::set<std::string> roleFilterUIDs;
    RoleDisplayMode roleDisplayMode = RoleDisplayMode::custom;
    BurnInTextAlignment textAlignment = BurnInTextAlignment::left;
    std::optional<StackedLayerColumns> stackedLayerColumns;
    std::optional<StackedLayerPrefixPosition> stackedLayerPrefixPosition;
    // The element's own choice of putting layer V1 at the top of a stacked-layer block.
    std::optional<bool> stackedLayerV1OnTop;

    // "SRC FRM#" for the reel block, "SRC" for the slate block, empty for every other field.
    static std::string_view defaultSecondaryLabel(MetadataField field);

    friend bool operator==(const BurnInElement &, const BurnInElement &) = default;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("id", self.id);
        visit("field", self.field);
        visit("label", self.label);
        visit("secondaryLabel", self.secondaryLabel);
        visit("isEnabled", self.isEnabled);
        visit("posX", self.posX);
        visit("posY", self.posY);
        visit("fontSize", self.fontSize);
        visit("textR", self.textR);
        visit("textG", self.textG);
        visit("textB", self.textB);
        visit("textOpacity", self.textOpacity);
        visit("showBackground", self.showBackground);
        visit("bgR", self.bgR);
        visit("bgG", self.bgG);
        visit("bgB", self.bgB);
        visit("bgOpacity", self.bgOpacity);
        visit("markerTypes", self.markerTypes);
        visit("roleFilterUIDs", self.roleFilterUIDs);
        visit("roleDisplayMode", self.roleDisplayMode);
        visit("textAlignment", self.textAlignment);
        visit("stackedLayerColumns", self.stackedLayerColumns);
        visit("stackedLayerPrefixPosition", self.stackedLayerPrefixPosition);
        visit("stackedLayerV1OnTop", self.stackedLayerV1OnTop);
    }
};

} // namespace tandrel

// An element has no default, so JSON builds it through this serializer. Reading fails only
// for a missing or unknown `field` and for a present value of the wrong type.
template <> struct nlohmann::adl_serializer<tandrel::BurnInElement> {
    static tandrel::BurnInElement from_json(const tandrel::Json &json);
    static void to_json(tandrel::Json &json, const tandrel::BurnInElement &element);
};
