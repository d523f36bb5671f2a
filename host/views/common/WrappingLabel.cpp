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

void WrappingLabel::setFontFor(QChar character, const QFont &font) {
    std::erase_if(characterFonts_, [character](const auto &entry) { return entry.first == character; });
    characterFonts_.emplace_back(character, font);
    updateGeometry();
    update();
}

QFont WrappingLabel::fontOf(QChar character) const {
    for (const auto &[special, specialFont] : characterFonts_) {
        if (special == character) {
            return specialFont;
        }
    }
    return font();
}

void WrappingLabel::prepare(QTextLayout &layout) const {
    layout.setText(withLineSeparators(text_));
    layout.setFont(font());
    if (characterFonts_.empty()) {
        return;
    }
    QList<QTextLayout::FormatRange> ranges;
    for (qsizetype i = 0; i < text_.size(); ++i) {
        for (const auto &[special, specialFont] : characterFonts_) {
            if (text_[i] == special) {
                QTextLayout::FormatRange range{static_cast<int>(i), 1, {}};
                range.format.setFont(specialFont);
                ranges.push_back(range);
            }
        }
    }
    layout.setFormats(ranges);
}

int WrappingLabel::heightForWidth(int width) const {
    QTextLayout layout;
    prepare(layout);
    const double height = laidOut(layout, std::max(width, 1));
    return std::max(static_cast<int>(std::ceil(height)), fontMetrics().height());
}

int WrappingLabel::fittedWidth(int width) const {
    QTextLayout layout;
    prepare(layout);
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
    QTextLayout layout;
    prepare(layout);
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
