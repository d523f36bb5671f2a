#pragma once

namespace tandrel {

// Whether a main window's sidebar fits beside the layout editor: it keeps its place in the row
// only while the editor's centre column keeps `centreMinimum` points beside the column of open
// panels. In a narrower window the sidebar floats over the editor instead, when shown.
struct SidebarFit {
    // `shellWidth`: the two panes' width; `panelColumnWidth`: the open panels' column with its
    // padding, 0 while no panel is open.
    static bool docks(int shellWidth, double sidebarWidth, int panelColumnWidth, int centreMinimum);
};

} // namespace tandrel
