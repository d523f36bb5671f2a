#include "host/views/layout/ElementOptions.h"

namespace tandrel::ElementOptions {

void setMarkerType(BurnInElement &element, MarkerType type, bool on) {
    if (on) {
        element.markerTypes.insert(type);
    } else {
        element.markerTypes.erase(type);
    }
}

std::size_t columnsIndex(const BurnInElement &element) {
    const std::optional<StackedLayerColumns> &columns = element.stackedLayerColumns;
    return columns == StackedLayerColumns::both ? 0 : choiceIndex(columnsChoices, columns);
}

void setColumns(BurnInElement &element, std::size_t choice) {
    element.stackedLayerColumns = columnsChoices.at(choice).value;
}

std::size_t prefixPositionIndex(const BurnInElement &element) {
    return choiceIndex(prefixPositionChoices, element.stackedLayerPrefixPosition);
}

void setPrefixPosition(BurnInElement &element, std::size_t choice) {
    element.stackedLayerPrefixPosition = prefixPositionChoices.at(choice).value;
}

std::size_t stackOrderIndex(const BurnInElement &element) {
    return choiceIndex(stackOrderChoices,
                       StackOrderChoice::Case(StackOrderChoice::from(element.stackedLayerV1OnTop)));
}

void setStackOrder(BurnInElement &element, std::size_t choice) {
    element.stackedLayerV1OnTop = StackOrderChoice(stackOrderChoices.at(choice).value).stored();
}

bool showsRightPrefix(const BurnInElement &element) {
    return element.stackedLayerColumns != StackedLayerColumns::leftOnly;
}

std::string_view roleHelp(RoleDisplayMode mode) {
    switch (mode) {
    case RoleDisplayMode::custom:
        return "The Label above is shown while a clip with any selected role is active.";
    case RoleDisplayMode::mediaFilename:
        return "Shows the active clip's media filename.";
    case RoleDisplayMode::roleName:
        return "Shows the role's own name (e.g. \"Music\", \"Brennisk\").";
    }
    return {};
}

void toggleRole(BurnInElement &element, const std::string &roleUID) {
    if (element.roleFilterUIDs.erase(roleUID) == 0) {
        element.roleFilterUIDs.insert(roleUID);
    }
}

} // namespace tandrel::ElementOptions
