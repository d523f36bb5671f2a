#pragma once

#include <QRect>
#include <QSize>

namespace corvane {

// Where the split shell puts its parts. The sidebar sits in a card 8 points inside the
// window's top, bottom and leading side, and 8 points before the content pane; the 9-point
// resize handle covers the card's trailing 8-point margin and 1 point beyond it, so the
// content pane begins right after the handle. While the sidebar slides in or out, the space
// it takes grows or shrinks and the card moves with the space's trailing side.
class SplitShellGeometry {
public:
    static constexpr int cardMargin = 8;
    static constexpr int handleWidth = 9;
    // How far the handle reaches back over the card's margin.
    static constexpr int handleOverlap = 8;

    QRect card;
    QRect handle;
    QRect content;

    // `revealed` is how much of the sidebar's space is on screen, 0 when collapsed. A floating
    // sidebar takes no space: the content fills the size and the card lies over it.
    static SplitShellGeometry compute(QSize size, double sidebarWidth, double revealed,
                                      bool floating = false);

    friend bool operator==(const SplitShellGeometry &, const SplitShellGeometry &) = default;
};

} // namespace corvane
