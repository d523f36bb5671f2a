#pragma once

#include "core/model/BurnInElement.h"
#include "host/views/layout/PresetOptions.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace tandrel {

// One entry of a picker: its text and the value it stands for.
template <typename Value> struct Choice {
    std::string_view title;
    Value value;
};

// The index of the first entry with `value`; 0 (the default entry) when none has it.
template <typename Value, std::size_t N>
std::size_t choiceIndex(const std::array<Choice<Value>, N> &choices, const Value &value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (choices[i].value == value) {
            return i;
        }
    }
    return 0;
}

// The options of one element that the element editor's field sections edit, as its pickers
// and toggles show them. A three-way choice stores its default entry as absent, so a picker
// shows an absent value as that entry and never an empty selection. Each function changes
// only its own member.
namespace ElementOptions {

// The marker-type filter of marker elements.
inline constexpr std::string_view markerTypeHeading = "Marker Type";
inline constexpr std::array<Choice<MarkerType>, 3> markerTypeToggles{{
    {"Chapter", MarkerType::chapter},
    {"To-Do", MarkerType::todo},
    {"Standard", MarkerType::standard},
}};
// Nothing keeps the set from becoming empty: such an element shows no marker.
void setMarkerType(BurnInElement &element, MarkerType type, bool on);

// The stacked-layer options of the two block elements.
inline constexpr std::string_view columnsTitle = "Columns";
inline constexpr std::array<Choice<std::optional<StackedLayerColumns>>, 3> columnsChoices{{
    {"Both Columns", std::nullopt},
    {"Left Column Only", StackedLayerColumns::leftOnly},
    {"Right Column Only", StackedLayerColumns::rightOnly},
}};
inline constexpr std::string_view prefixPositionTitle = "Prefix Position";
inline constexpr std::array<Choice<std::optional<StackedLayerPrefixPosition>>, 3>
    prefixPositionChoices{{
        {"Default", std::nullopt},
        {"Before Value", StackedLayerPrefixPosition::beforeValue},
        {"After Value", StackedLayerPrefixPosition::afterValue},
    }};
inline constexpr std::string_view rightPrefixCaption =
    "Right-column prefix — shown as \"[prefix Vx]\" next to each layer's value";
inline constexpr std::string_view rightPrefixTitle = "Right Prefix";
inline constexpr std::string_view stackOrderTitle = "Stack Order";
// The element's own order; the preset's picker calls its first entry "Default".
inline constexpr std::array<Choice<StackOrderChoice::Case>, 3> stackOrderChoices{{
    {"Preset Default", StackOrderChoice::defaultOrder},
    {"V1 on top", StackOrderChoice::v1OnTop},
    {"V1 on bottom", StackOrderChoice::v1OnBottom},
}};

// Which entry shows for the stored value: "Both Columns" for an absent or a stored `both`.
std::size_t columnsIndex(const BurnInElement &element);
// "Both Columns" removes the member; a one-column choice stores itself.
void setColumns(BurnInElement &element, std::size_t choice);
std::size_t prefixPositionIndex(const BurnInElement &element);
void setPrefixPosition(BurnInElement &element, std::size_t choice);
std::size_t stackOrderIndex(const BurnInElement &element);
void setStackOrder(BurnInElement &element, std::size_t choice);
// The right-prefix field labels the right column, which "Left Column Only" does not draw.
bool showsRightPrefix(const BurnInElement &element);

// The role picker of role elements.
inline constexpr std::string_view rolesHeading =
    "Roles (select any that should trigger this element)";
inline constexpr std::string_view noRoleSelectedWarning =
    "None selected yet — this element won't show anything until you pick one below.";
inline constexpr std::string_view noRolesFound = "No roles found — pick a library/timeline first.";
inline constexpr std::string_view showTitle = "Show";
inline constexpr std::array<Choice<RoleDisplayMode::Case>, 3> roleDisplayModeChoices{{
    {"Custom Text", RoleDisplayMode::custom},
    {"Media Filename", RoleDisplayMode::mediaFilename},
    {"Role Name", RoleDisplayMode::roleName},
}};
// The line under the "Show" picker that says what the element shows.
std::string_view roleHelp(RoleDisplayMode mode);
// Ticks or unticks one role; a top-level role and its sub-roles are ticked independently.
void toggleRole(BurnInElement &element, const std::string &roleUID);

// The element editor's alignment picker.
inline constexpr std::array<Choice<BurnInTextAlignment::Case>, 3> alignmentChoices{{
    {"Left", BurnInTextAlignment::left},
    {"Center", BurnInTextAlignment::center},
    {"Right", BurnInTextAlignment::right},
}};

} // namespace ElementOptions

} // namespace tandrel
