#include "designkit/WindowFrameGeometry.h"

#include <algorithm>

namespace corvane {

Qt::Edges WindowFrameGeometry::edgesAt(QPoint point, QSize size) {
    if (!QRect(QPoint(0, 0), size).contains(point)) {
        return {};
    }
    Qt::Edges edges;
    edges.setFlag(Qt::LeftEdge, point.x() < resizeMargin);
    edges.setFlag(Qt::RightEdge, point.x() >= size.width() - resizeMargin);
    edges.setFlag(Qt::TopEdge, point.y() < resizeMargin);
    edges.setFlag(Qt::BottomEdge, point.y() >= size.height() - resizeMargin);
    return edges;
}

bool WindowFrameGeometry::isInMoveBand(QPoint point, QSize size) {
    return point.y() >= 0 && point.y() < moveBand && point.x() >= 0 && point.x() < size.width();
}

Qt::CursorShape WindowFrameGeometry::cursorFor(Qt::Edges edges) {
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling =
            edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge);
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    if (horizontal) {
        return Qt::SizeHorCursor;
    }
    return vertical ? Qt::SizeVerCursor : Qt::ArrowCursor;
}

namespace {

// One axis: the far end stays when the near one moves, and the other way round.
void resizeAxis(int &low, int &high, bool moveLow, bool moveHigh, int delta, int minimum,
                int maximum) {
    if (moveLow) {
        const int length = std::clamp(high - (low + delta), minimum, maximum);
        low = high - length;
    } else if (moveHigh) {
        high = low + std::clamp(high + delta - low, minimum, maximum);
    }
}

} // namespace

QRect WindowFrameGeometry::resized(const QRect &start, Qt::Edges edges, QPoint delta, QSize minimum,
                                   QSize maximum) {
    // Right and bottom are exclusive ends here: x + width, y + height.
    int left = start.left();
    int right = start.left() + start.width();
    int top = start.top();
    int bottom = start.top() + start.height();
    const QSize lowest = minimum.expandedTo(QSize(1, 1));
    const QSize highest = maximum.expandedTo(lowest);
    resizeAxis(left, right, edges & Qt::LeftEdge, edges & Qt::RightEdge, delta.x(), lowest.width(),
               highest.width());
    resizeAxis(top, bottom, edges & Qt::TopEdge, edges & Qt::BottomEdge, delta.y(), lowest.height(),
               highest.height());
    return QRect(left, top, right - left, bottom - top);
}

} // namespace corvane
