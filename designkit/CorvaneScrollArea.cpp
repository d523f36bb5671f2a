#include "designkit/CorvaneScrollArea.h"

#include "designkit/CorvaneScrollIndicators.h"

#include <QEvent>
#include <QLayout>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <iterator>

namespace corvane {

namespace {

constexpr const char *rowGroupProperty = "corvaneRowGroup";

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

CorvaneScrollArea::CorvaneScrollArea(QWidget *content, Rows rows, QWidget *parent)
    : QScrollArea(parent), rows_(rows) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    corvaneScrollIndicators(this);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    if (rows_ == Rows::wholeOnly) {
        connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
                &CorvaneScrollArea::snapToStop);
        connect(verticalScrollBar(), &QScrollBar::rangeChanged, this,
                &CorvaneScrollArea::extendRangeToARow);
    }
    if (content != nullptr) {
        setContent(content);
    }
}

void CorvaneScrollArea::setContent(QWidget *content) {
    setWidget(content);
    // Taking the content turned its background on.
    content->setAutoFillBackground(false);
    content->installEventFilter(this);
}

void CorvaneScrollArea::markRowGroup(QWidget *group) {
    group->setProperty(rowGroupProperty, true);
}

std::vector<QRect> CorvaneScrollArea::rowsOf(const QWidget *content) {
    std::vector<QRect> rows;
    if (content->layout() != nullptr) {
        collectRows(content, content->layout(), rows);
    }
    std::ranges::sort(rows, {}, &QRect::top);
    return rows;
}

bool CorvaneScrollArea::hasHeightForWidth() const {
    return widget() != nullptr && widget()->hasHeightForWidth();
}

int CorvaneScrollArea::heightForWidth(int width) const {
    const QWidget *content = widget();
    if (content == nullptr) {
        return -1;
    }
    return content->hasHeightForWidth() ? content->heightForWidth(width)
                                        : content->sizeHint().height();
}

QSize CorvaneScrollArea::sizeHint() const {
    const QWidget *content = widget();
    if (content == nullptr) {
        return {0, minimumSizeHint().height()};
    }
    const int width = viewport()->width() > 0 ? viewport()->width() : content->sizeHint().width();
    return {content->sizeHint().width(), heightForWidth(width)};
}

QSize CorvaneScrollArea::minimumSizeHint() const {
    constexpr int line = 24;
    int least = line;
    if (rows_ == Rows::wholeOnly && widget() != nullptr) {
        const std::vector<QRect> rows = rowsOf(widget());
        // At the first stop, the top, the first row shows whole below what lies above it.
        if (!rows.empty()) {
            least = std::max(least, rows.front().bottom() + 1);
        }
        for (const QRect &row : rows) {
            least = std::max(least, row.height());
        }
    }
    return {0, least};
}

int CorvaneScrollArea::heightShowingWholeRows(int height) const {
    const QWidget *content = widget();
    if (rows_ == Rows::anyCut || content == nullptr || content->height() <= height) {
        return height;
    }
    int used = 0;
    for (const QRect &row : rowsOf(content)) {
        if (row.bottom() + 1 <= height) {
            used = std::max(used, row.bottom() + 1);
        }
    }
    return used > 0 ? used : height;
}

QRect CorvaneScrollArea::shownBand() const {
    const QRect all = viewport()->rect();
    const QWidget *content = widget();
    if (rows_ == Rows::anyCut || content == nullptr || content->height() <= all.height()) {
        return all;
    }
    const std::vector<QRect> whole = rowsInView();
    if (whole.empty()) {
        // No row fits whole: better part of one than nothing.
        return all;
    }
    int top = whole.front().top();
    int bottom = whole.front().bottom();
    for (const QRect &row : whole) {
        top = std::min(top, row.top());
        bottom = std::max(bottom, row.bottom());
    }
    const int viewTop = -content->pos().y();
    return {0, top - viewTop, all.width(), bottom - top + 1};
}

std::vector<QRect> CorvaneScrollArea::rowsInView() const {
    const QWidget *content = widget();
    if (content == nullptr) {
        return {};
    }
    // The viewport in the content's coordinates.
    const QRect view(-content->pos(), viewport()->size());
    std::vector<QRect> whole;
    for (const QRect &row : rowsOf(content)) {
        if (row.top() >= view.top() && row.bottom() <= view.bottom()) {
            whole.push_back(row);
        }
    }
    return whole;
}

void CorvaneScrollArea::resizeEvent(QResizeEvent *event) {
    QScrollArea::resizeEvent(event);
    updateIndicatorNeed();
}

void CorvaneScrollArea::updateIndicatorNeed() {
    const QWidget *content = widget();
    // Only while the indicator is the view's to show as needed.
    if (!indicatorHeldOff_ && verticalScrollBarPolicy() != Qt::ScrollBarAsNeeded) {
        return;
    }
    bool fits = false;
    if (content != nullptr && content->hasHeightForWidth()) {
        const QSize whole = maximumViewportSize();
        const int least = std::max({content->minimumHeight(), content->minimumSizeHint().height(),
                                    content->heightForWidth(whole.width())});
        fits = least <= whole.height();
    }
    if (fits != indicatorHeldOff_) {
        indicatorHeldOff_ = fits;
        setVerticalScrollBarPolicy(fits ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    }
}

void CorvaneScrollArea::scrollContentsBy(int dx, int dy) {
    QScrollArea::scrollContentsBy(dx, dy);
    if (rows_ == Rows::wholeOnly) {
        applyRowMask();
    }
}

std::vector<int> CorvaneScrollArea::stops() const {
    const int end = verticalScrollBar()->maximum();
    std::vector<int> at{0};
    if (widget() == nullptr) {
        return at;
    }
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

void CorvaneScrollArea::extendRangeToARow() {
    const QWidget *content = widget();
    if (content == nullptr) {
        return;
    }
    // Where the scroll area itself ends: the content's end at the bottom edge.
    const int end = content->height() - viewport()->height();
    if (end <= 0) {
        return;
    }
    int last = end;
    for (const QRect &row : rowsOf(content)) {
        if (row.top() >= end) {
            last = row.top();
            break;
        }
    }
    if (verticalScrollBar()->maximum() != last) {
        verticalScrollBar()->setMaximum(last);
    }
}

void CorvaneScrollArea::snapToStop(int value) {
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

bool CorvaneScrollArea::viewportEvent(QEvent *event) {
    if (rows_ == Rows::wholeOnly && event->type() == QEvent::Resize) {
        scheduleRowMask();
    }
    return QScrollArea::viewportEvent(event);
}

bool CorvaneScrollArea::eventFilter(QObject *watched, QEvent *event) {
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        // The content asks for another height: so does the view (a scroll view would not).
        updateGeometry();
    }
    if (watched == widget() && rows_ == Rows::wholeOnly &&
        (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) {
        scheduleRowMask();
    }
    const bool filtered = QScrollArea::eventFilter(watched, event);
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        updateIndicatorNeed();
    }
    return filtered;
}

void CorvaneScrollArea::scheduleRowMask() {
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

void CorvaneScrollArea::applyRowMask() {
    const QRect band = shownBand();
    if (band == viewport()->rect()) {
        viewport()->clearMask();
    } else {
        viewport()->setMask(QRegion(band));
    }
}

} // namespace corvane
