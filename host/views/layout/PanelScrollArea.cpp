#include "host/views/layout/PanelScrollArea.h"

#include "designkit/CorvaneScrollIndicators.h"

#include <QEvent>
#include <QLayout>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <iterator>

namespace tandrel {

namespace {

constexpr const char *rowGroupProperty = "tandrelRowGroup";

void collectRows(const QWidget *content, const QLayout *layout, std::vector<QRect> &rows) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QWidget *widget = item->widget()) {
            if (widget->isHidden()) {
                continue;
            }
            if (widget->property(rowGroupProperty).toBool() && widget->layout() != nullptr) {
                collectRows(content, widget->layout(), rows);
            } else {
                rows.emplace_back(widget->mapTo(content, QPoint(0, 0)), widget->size());
            }
        } else if (const QLayout *nested = item->layout()) {
            if (!nested->geometry().isEmpty()) {
                const QWidget *owner = nested->parentWidget();
                rows.emplace_back(owner->mapTo(content, nested->geometry().topLeft()),
                                  nested->geometry().size());
            }
        }
    }
}

} // namespace

PanelScrollArea::PanelScrollArea(QWidget *content, Rows rows, QWidget *parent)
    : QScrollArea(parent), rows_(rows) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    corvane::corvaneScrollIndicators(this);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setWidget(content);
    // Taking the content turned its background on.
    content->setAutoFillBackground(false);
    if (rows_ == Rows::wholeOnly) {
        content->installEventFilter(this);
        connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &PanelScrollArea::snapToStop);
    }
}

void PanelScrollArea::markRowGroup(QWidget *group) {
    group->setProperty(rowGroupProperty, true);
}

std::vector<QRect> PanelScrollArea::rowsOf(const QWidget *content) {
    std::vector<QRect> rows;
    if (content->layout() != nullptr) {
        collectRows(content, content->layout(), rows);
    }
    std::ranges::sort(rows, {}, &QRect::top);
    return rows;
}

QSize PanelScrollArea::sizeHint() const {
    const QWidget *content = widget();
    const int width = viewport()->width() > 0 ? viewport()->width() : 336;
    const int height = content->hasHeightForWidth() ? content->heightForWidth(width)
                                                    : content->sizeHint().height();
    return {content->sizeHint().width(), height};
}

QRect PanelScrollArea::shownBand() const {
    const QRect all = viewport()->rect();
    const QWidget *content = widget();
    if (rows_ == Rows::anyCut || content->height() <= all.height()) {
        return all;
    }
    // The viewport in the content's coordinates.
    const QRect view(-content->pos(), all.size());
    int top = view.bottom() + 1;
    int bottom = view.top() - 1;
    for (const QRect &row : rowsOf(content)) {
        if (row.top() >= view.top() && row.bottom() <= view.bottom()) {
            top = std::min(top, row.top());
            bottom = std::max(bottom, row.bottom());
        }
    }
    if (top > bottom) {
        // No row fits whole: better part of one than nothing.
        return all;
    }
    return {0, top - view.top(), all.width(), bottom - top + 1};
}

void PanelScrollArea::scrollContentsBy(int dx, int dy) {
    QScrollArea::scrollContentsBy(dx, dy);
    if (rows_ == Rows::wholeOnly) {
        applyRowMask();
    }
}

std::vector<int> PanelScrollArea::stops() const {
    const int end = verticalScrollBar()->maximum();
    std::vector<int> at{0};
    for (const QRect &row : rowsOf(widget())) {
        if (row.top() > at.back() && row.top() < end) {
            at.push_back(row.top());
        }
    }
    if (end > at.back()) {
        at.push_back(end);
    }
    return at;
}

void PanelScrollArea::snapToStop(int value) {
    if (snapping_) {
        return;
    }
    const std::vector<int> at = stops();
    int snapped = value;
    if (!std::ranges::binary_search(at, value)) {
        if (value > lastValue_) {
            snapped = *std::ranges::lower_bound(at, value);
        } else {
            snapped = *std::prev(std::ranges::upper_bound(at, value));
        }
    }
    lastValue_ = snapped;
    if (snapped != value) {
        snapping_ = true;
        verticalScrollBar()->setValue(snapped);
        snapping_ = false;
    }
}

bool PanelScrollArea::viewportEvent(QEvent *event) {
    if (rows_ == Rows::wholeOnly && event->type() == QEvent::Resize) {
        scheduleRowMask();
    }
    return QScrollArea::viewportEvent(event);
}

bool PanelScrollArea::eventFilter(QObject *watched, QEvent *event) {
    if (watched == widget() &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) {
        scheduleRowMask();
    }
    return QScrollArea::eventFilter(watched, event);
}

void PanelScrollArea::scheduleRowMask() {
    if (maskPending_) {
        return;
    }
    maskPending_ = true;
    // The rows take their places when the layouts run: after this event.
    QMetaObject::invokeMethod(
        this,
        [this] {
            maskPending_ = false;
            applyRowMask();
        },
        Qt::QueuedConnection);
}

void PanelScrollArea::applyRowMask() {
    const QRect band = shownBand();
    if (band == viewport()->rect()) {
        viewport()->clearMask();
    } else {
        viewport()->setMask(QRegion(band));
    }
}

} // namespace tandrel
