#include "host/views/common/ElidedLabel.h"

#include "core/support/UnicodeText.h"
#include "designkit/Palette.h"
#include "designkit/TextElision.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace tandrel {

QString ElidedLabel::bounded(const QString &text) {
    // A text of printable ASCII short enough is its own bounded form; most are.
    if (text.size() <= static_cast<qsizetype>(maxCharacters) &&
        std::all_of(text.begin(), text.end(),
                    [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; })) {
        return text;
    }
    const QByteArray utf8 = text.toUtf8();
    // Bounded once more in what shows: a control shows in several characters.
    const std::string kept = elidedInMiddle(
        withStrayControlsShown(elidedLine(
            std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), maxCharacters)),
        maxCharacters, "\u2026");
    return QString::fromUtf8(kept.data(), static_cast<qsizetype>(kept.size()));
}

ElidedLabel::ElidedLabel(const QString &text, Qt::TextElideMode mode, QWidget *parent)
    : QWidget(parent), text_(bounded(text)), mode_(mode) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setText(const QString &text) {
    QString kept = bounded(text);
    if (kept == text_) {
        return;
    }
    text_ = std::move(kept);
    shown_.reset();
    textWidth_.reset();
    updateGeometry();
    update();
}

void ElidedLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

QString ElidedLabel::shownText() const {
    if (!shown_ || shown_->width != width() || shown_->font != font()) {
        shown_ = Shown{width(), font(),
                       corvane::TextElision::elided(QFontMetricsF(font()), text_, mode_, width())};
    }
    return shown_->text;
}

QSize ElidedLabel::sizeHint() const {
    if (!textWidth_) {
        textWidth_ = fontMetrics().horizontalAdvance(text_) + 1;
    }
    return {*textWidth_, fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    const QString ellipsis(QChar(0x2026));
    const QString shortest = mode_ == Qt::ElideMiddle ? text_.left(2) + ellipsis + text_.right(2)
                                                      : ellipsis;
    return {std::min(fontMetrics().horizontalAdvance(shortest), sizeHint().width()),
            fontMetrics().height()};
}

void ElidedLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(corvane::foregroundOf(this));
    painter.drawText(rect(), static_cast<int>(alignment_), shownText());
}

void ElidedLabel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange) {
        shown_.reset();
        textWidth_.reset();
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

} // namespace tandrel
