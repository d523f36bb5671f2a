#include "host/views/layout/RightPanel.h"

#include <array>

namespace tandrel {

namespace {

struct Face {
    std::string_view title;
    std::string_view symbol;
};

// In the order of the cases.
constexpr std::array<Face, 4> faces{{
    {"Editor", "slider.horizontal.3"},
    {"Settings", "gearshape"},
    {"Bulk Style", "paintpalette"},
    {"Validate", "checkmark.seal"},
}};

} // namespace

std::string_view RightPanel::title() const {
    return faces.at(value()).title;
}

std::string_view RightPanel::symbol() const {
    return faces.at(value()).symbol;
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
