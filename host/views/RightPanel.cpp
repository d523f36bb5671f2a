#include "host/views/RightPanel.h"

namespace tandrel {

std::string_view RightPanel::title() const {
    switch (value()) {
    case editor:
        return "Editor";
    case settings:
        return "Settings";
    case bulkStyle:
        return "Bulk Style";
    case validate:
        return "Validate";
    }
    return {};
}

std::string_view RightPanel::symbol() const {
    switch (value()) {
    case editor:
        return "slider.horizontal.3";
    case settings:
        return "gearshape";
    case bulkStyle:
        return "paintpalette";
    case validate:
        return "checkmark.seal";
    }
    return {};
}

OpenPanels::OpenPanels() : open_{RightPanel::editor, RightPanel::settings, RightPanel::bulkStyle} {}

bool OpenPanels::insert(RightPanel panel) {
    return open_.insert(panel).second;
}

bool OpenPanels::remove(RightPanel panel) {
    return open_.erase(panel) > 0;
}

void OpenPanels::toggle(RightPanel panel) {
    if (!remove(panel)) {
        insert(panel);
    }
}

std::vector<RightPanel> OpenPanels::inOrder() const {
    std::vector<RightPanel> panels;
    for (const RightPanel panel : RightPanel::allCases()) {
        if (contains(panel)) {
            panels.push_back(panel);
        }
    }
    return panels;
}

} // namespace tandrel
