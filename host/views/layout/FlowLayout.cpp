#include "host/views/layout/FlowLayout.h"

#include <QWidget>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tandrel {

FlowLayout::Arrangement FlowLayout::arrange(const std::vector<Child> &children,
                                            std::optional<double> proposedWidth, double spacing) {
    const double maxWidth = proposedWidth.value_or(std::numeric_limits<double>::infinity());
    Arrangement arrangement;
    double x = 0;
    double y = 0;
    double rowHeight = 0;
    double widest = 0;
    for (const Child &child : children) {
        // x already holds the spacing after the previous child: a row ends when this child's
        // right edge would pass the width.
        if (x > 0 && x + child.size.width() > maxWidth) {
            y += rowHeight + spacing;
            x = 0;
            rowHeight = 0;
        }
        // Alone on its row and still too wide: as wide as the row, if it can be.
        const double width = child.size.width() > maxWidth ? std::max(maxWidth, child.minimumWidth)
                                                           : child.size.width();
        arrangement.positions.emplace_back(x, y);
        arrangement.widths.push_back(width);
        rowHeight = std::max(rowHeight, child.size.height());
        x += width + spacing;
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

std::vector<FlowLayout::Child> FlowLayout::children(std::vector<QLayoutItem *> *placed) const {
    std::vector<Child> shown;
    for (QLayoutItem *item : items_) {
        if (item->isEmpty()) {
            continue;
        }
        const QSize ideal = item->sizeHint();
        shown.push_back({QSizeF(ideal), static_cast<double>(
                                            std::min(item->minimumSize().width(), ideal.width()))});
        if (placed != nullptr) {
            placed->push_back(item);
        }
    }
    return shown;
}

FlowLayout::Arrangement FlowLayout::arrangeWithin(std::optional<int> width) const {
    std::optional<double> inner;
    if (width) {
        const QMargins margins = contentsMargins();
        inner = std::max(0, *width - margins.left() - margins.right());
    }
    return arrange(children(), inner, std::max(0, spacing()));
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
    QSizeF least(0, 0);
    for (const Child &child : children()) {
        least = least.expandedTo(QSizeF(child.minimumWidth, child.size.height()));
    }
    return withMargins(least);
}

void FlowLayout::setGeometry(const QRect &rect) {
    QLayout::setGeometry(rect);
    const QRect inner = rect.marginsRemoved(contentsMargins());
    std::vector<QLayoutItem *> placed;
    const std::vector<Child> shown = children(&placed);
    const Arrangement arrangement = arrange(shown, inner.width(), std::max(0, spacing()));
    for (size_t i = 0; i < placed.size(); ++i) {
        const QSize size(static_cast<int>(std::floor(arrangement.widths[i])),
                         shown[i].size.toSize().height());
        placed[i]->setGeometry(QRect(inner.topLeft() + arrangement.positions[i].toPoint(), size));
    }
}

} // namespace tandrel
