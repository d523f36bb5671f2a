#include "designkit/CorvaneTooltipPill.h"

#include "designkit/Color.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"

#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace corvane {

namespace {

constexpr int textWidthLimit =
    CorvaneTooltipPill::maximumWidth - 2 * CorvaneTooltipPill::horizontalPadding;

QFont textFont() {
    return corvaneFont(12, CorvaneFontWeight::medium);
}

QFont shortcutFont() {
    return corvaneFont(12, CorvaneFontWeight::regular);
}

// The system's own texts break their lines with "\n" (a list of what cannot be read, one a
// line); the text layout would run them on. Outside text reaches a tooltip with its line breaks
// already shown as escapes, never as breaks.
QString withLineBreaks(QString text) {
    return text.replace(u'\n', QChar::LineSeparator);
}

// A text broken into centred lines no wider than `width`, and at each "\n"; its size is that
// of its widest line and all its lines.
class WrappedText {
public:
    WrappedText(const QString &text, const QFont &font, double width)
        : layout_(withLineBreaks(text), font) {
        QTextOption option(Qt::AlignHCenter);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout_.setTextOption(option);
        layout_.setCacheEnabled(true);
        layout_.beginLayout();
        double y = 0;
        for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            y += line.height();
            size_.setWidth(std::max(size_.width(), line.naturalTextWidth()));
        }
        layout_.endLayout();
        size_.setHeight(y);
    }

    QSizeF size() const { return size_; }
    void draw(QPainter &painter, QPointF origin) const { layout_.draw(&painter, origin); }

private:
    QTextLayout layout_;
    QSizeF size_;
};

} // namespace

CorvaneTooltipPill::CorvaneTooltipPill(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void CorvaneTooltipPill::setContent(const QString &text, const std::optional<QString> &shortcut) {
    text_ = text;
    shortcut_ = shortcut;
    updateGeometry();
    update();
}

void CorvaneTooltipPill::setOpacity(double opacity) {
    opacity_ = opacity;
    update();
}

QSize CorvaneTooltipPill::sizeHint() const {
    QSizeF content = WrappedText(text_, textFont(), textWidthLimit).size();
    if (shortcut_) {
        const QSizeF shortcut = WrappedText(*shortcut_, shortcutFont(), textWidthLimit).size();
        content = QSizeF(std::max(content.width(), shortcut.width()),
                         content.height() + lineSpacing + shortcut.height());
    }
    const int width = std::min(maximumWidth, static_cast<int>(std::ceil(content.width())) +
                                                 2 * horizontalPadding);
    return {width, static_cast<int>(std::ceil(content.height())) + 2 * verticalPadding};
}

int CorvaneTooltipPill::oneLineHeight() const {
    const QSizeF line = WrappedText(QStringLiteral("X"), textFont(), textWidthLimit).size();
    return static_cast<int>(std::ceil(line.height())) + 2 * verticalPadding;
}

void CorvaneTooltipPill::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setOpacity(opacity_);
    fillRounded(painter, rect(), cornerRadius, Color::sRGB(0.17, 0.17, 0.18));
    strokeRoundedInside(painter, rect(), cornerRadius, withOpacity(Color::white(), 0.08));

    const double width = std::max(0, this->width() - 2 * horizontalPadding);
    const WrappedText text(text_, textFont(), width);
    painter.setPen(withOpacity(Color::white(), 0.9));
    text.draw(painter, QPointF(horizontalPadding, verticalPadding));
    if (shortcut_) {
        const WrappedText shortcut(*shortcut_, shortcutFont(), width);
        painter.setPen(Color::corvaneTextTertiary());
        shortcut.draw(painter, QPointF(horizontalPadding,
                                       verticalPadding + text.size().height() + lineSpacing));
    }
}

} // namespace corvane
