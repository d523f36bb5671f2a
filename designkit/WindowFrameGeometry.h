#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace corvane {

// How a window without the system's frame is moved and resized by hand: a press in the band
// along its top moves it, one near an edge resizes it from that edge (or corner).
class WindowFrameGeometry {
public:
    WindowFrameGeometry() = delete;

    // The height of the band along the top of the window that moves it.
    static constexpr int moveBand = 28;
    // How close to an edge a press resizes the window from that edge.
    static constexpr int resizeMargin = 6;

    // The edges that a point (in window coordinates) of a window of `size` is near; none for
    // a point outside the window.
    static Qt::Edges edgesAt(QPoint point, QSize size);
    static bool isInMoveBand(QPoint point, QSize size);
    // The pointer's shape over those edges; the arrow for none.
    static Qt::CursorShape cursorFor(Qt::Edges edges);
    // The window's geometry after the pointer moved by `delta` from where it pressed on
    // `edges` of a window at `start`. The edges opposite stay where they are, and the size
    // stays within `minimum` and `maximum`.
    static QRect resized(const QRect &start, Qt::Edges edges, QPoint delta, QSize minimum,
                         QSize maximum);
};

} // namespace corvane
