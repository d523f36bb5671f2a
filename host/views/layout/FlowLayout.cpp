#include "host/views/layout/FlowLayout.h"

#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tandrel {

FlowLayout::Arrangement FlowLayout::arrange(const std::vector<QSizeF> &sizes,
                                            std::optional<double> proposedWidth, double spacing) {
    const double maxWidth = proposedWidth.value_or(std::numeric_limits<double>::infinity());
    Arrangement arrangement;
    double x = 0;
    double y = 0;
    double rowHeight = 0;
    double widest = 0;
    for (const QSizeF &size : sizes) {
        // x already holds the spacing after the previous child: a row ends when this child's
        // right edge would pass the width.
        if (x > 0 && x + size.width() > maxWidth) {
            y += rowHeight + spacing;
            x = 0;
            rowHeight = 0;
        }
        arrangement.positions.emplace_back(x, y);
        rowHeight = std::max(rowHeight, size.height());
        x += size.width() + spacing;
        widest = std::max(widest, x);
    }
    arrangement.size = QSizeF(widest, y + rowHeight);
    return arrangement;
}

FlowLayout::FlowLayout(int spacing, QWidget *parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(spacing);
}

FlowLayout::~FlowLayout() {
    while (QLayoutItem *item = takeAt(0)) {
        delete item;
    }
}

void FlowLayout::addItem(QLayoutItem *item) {
    items_.append(item);
    invalidate();
}

int FlowLayout::count() const {
    return static_cast<int>(items_.size());
}

QLayoutItem *FlowLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem *FlowLayout::takeAt(int index) {
    if (index < 0 || index >= items_.size()) {
        return nullptr;
    }
    QLayoutItem *item = items_.takeAt(index);
    invalidate();
    return item;
}

std::vector<QSizeF> FlowLayout::sizes(std::vector<QLayoutItem *> *placed) const {
    std::vector<QSizeF> ideal;
    for (QLayoutItem *item : items_) {
        if (item->isEmpty()) {
            continue;
        }
        ideal.emplace_back(item->sizeHint());
        if (placed != nullptr) {
            placed->push_back(item);
        }
    }
    return ideal;
}

FlowLayout::Arrangement FlowLayout::arrangeWithin(std::optional<int> width) const {
    std::optional<double> inner;
    if (width) {
        const QMargins margins = contentsMargins();
        inner = std::max(0, *width - margins.left() - margins.right());
    }
    return arrange(sizes(), inner, std::max(0, spacing()));
}

QSize FlowLayout::withMargins(const QSizeF &size) const {
    const QMargins margins = contentsMargins();
    return {static_cast<int>(std::ceil(size.width())) + margins.left() + margins.right(),
            static_cast<int>(std::ceil(size.height())) + margins.top() + margins.bottom()};
}

int FlowLayout::heightForWidth(int width) const {
    return withMargins(arrangeWithin(width).size).height();
}

QSize FlowLayout::sizeHint() const {
    return withMargins(arrangeWithin(std::nullopt).size);
}

QSize FlowLayout::minimumSize() const {
    QSizeF largest(0, 0);
    for (const QSizeF &size : sizes()) {
        largest = largest.expandedTo(size);
    }
    return withMargins(largest);
}

void FlowLayout::setGeometry(const QRect &rect) {
    QLayout::setGeometry(rect);
    const QRect inner = rect.marginsRemoved(contentsMargins());
    std::vector<QLayoutItem *> placed;
    const std::vector<QSizeF> ideal = sizes(&placed);
    const Arrangement arrangement = arrange(ideal, inner.width(), std::max(0, spacing()));
    for (size_t i = 0; i < placed.size(); ++i) {
        const QPointF &position = arrangement.positions[i];
        placed[i]->setGeometry(QRect(inner.topLeft() + position.toPoint(), ideal[i].toSize()));
    }
}

} // namespace tandrel
