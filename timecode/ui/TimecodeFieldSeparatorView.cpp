#include "timecode/ui/TimecodeFieldSeparatorView.h"

#include "timecode/ui/TimecodeEnvironment.h"

#include <QFontMetricsF>
#include <QPainter>

namespace timecode {

namespace {

// As the numbers beside it, so that the row keeps one height.
constexpr int verticalPadding = 1;

} // namespace

TimecodeFieldSeparatorView::TimecodeFieldSeparatorView(const QString &text, QWidget *parent)
    : QWidget(parent), text_(text) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TimecodeFieldSeparatorView::setText(const QString &text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    updateGeometry();
    update();
}

ShapeStyle TimecodeFieldSeparatorView::style() const {
    return TimecodeEnvironment::of(this).timecodeSeparatorStyle;
}

QSize TimecodeFieldSeparatorView::sizeHint() const {
    const QFontMetricsF metrics(font());
    return QSize(qCeil(metrics.horizontalAdvance(text_)),
                 qCeil(metrics.height()) + 2 * verticalPadding);
}

bool TimecodeFieldSeparatorView::event(QEvent *event) {
    if (TimecodeEnvironment::isChange(event)) {
        update();
    }
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
    }
    return QWidget::event(event);
}

void TimecodeFieldSeparatorView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const ShapeStyle separatorStyle = style();
    painter.setPen(separatorStyle ? separatorStyle->color()
                                  : palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextDontClip, text_);
}

} // namespace timecode
