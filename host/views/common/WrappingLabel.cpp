#include "host/views/common/WrappingLabel.h"

#include "designkit/Palette.h"

#include <QEvent>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace tandrel {

namespace {

// The widest a label asks to be; it takes more when its layout offers more.
constexpr int paragraphWidth = 480;

// Lays the text out in lines of `width`; the height they take.
double laidOut(QTextLayout &layout, double width) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const double leading = QFontMetricsF(layout.font()).leading();
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (height > 0) {
            height += leading;
        }
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

QString withLineSeparators(QString text) {
    return text.replace(QLatin1Char('\n'), QChar::LineSeparator);
}

} // namespace

WrappingLabel::WrappingLabel(const QString &text, QWidget *parent) : QWidget(parent), text_(text) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void WrappingLabel::setText(const QString &text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    updateGeometry();
    update();
}

int WrappingLabel::heightForWidth(int width) const {
    QTextLayout layout(withLineSeparators(text_), font());
    const double height = laidOut(layout, std::max(width, 1));
    return std::max(static_cast<int>(std::ceil(height)), fontMetrics().height());
}

int WrappingLabel::fittedWidth(int width) const {
    QTextLayout layout(withLineSeparators(text_), font());
    laidOut(layout, std::max(width, 1));
    int widest = 0;
    for (int i = 0; i < layout.lineCount(); ++i) {
        widest = std::max(widest, static_cast<int>(std::ceil(layout.lineAt(i).naturalTextWidth())));
    }
    return std::max(widest, 1);
}

QSize WrappingLabel::sizeHint() const {
    const int width = fittedWidth(paragraphWidth);
    return {width, heightForWidth(width)};
}

QSize WrappingLabel::minimumSizeHint() const {
    const int width = fontMetrics().averageCharWidth() * 4;
    return {width, fontMetrics().height()};
}

void WrappingLabel::paintEvent(QPaintEvent *) {
    QTextLayout layout(withLineSeparators(text_), font());
    laidOut(layout, width());
    QPainter painter(this);
    painter.setPen(corvane::foregroundOf(this));
    layout.draw(&painter, QPointF(0, 0));
}

void WrappingLabel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

} // namespace tandrel
