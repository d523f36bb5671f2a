#pragma once

#include <QFont>
#include <QWidget>

#include <utility>
#include <vector>

class QTextLayout;

namespace tandrel {

// Plain text that wraps onto as many lines as it needs and is never cut: at word boundaries,
// and inside a word (a long path) only where a word is wider than the line. Drawn in the
// view's foreground colour (corvane::corvaneForeground) and font; its height follows its
// width.
class WrappingLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text)

public:
    explicit WrappingLabel(const QString &text = {}, QWidget *parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString &text);
    // Draws every `character` of the text in `font`: a sign its own font draws too small to
    // read.
    void setFontFor(QChar character, const QFont &font);
    // The font a character is drawn in.
    QFont fontOf(QChar character) const;

    // The width the text takes when it wraps within `width`: its widest line.
    int fittedWidth(int width) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // As wide as the text on one line, up to a paragraph's width.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The text laid out for drawing, each character in its font.
    void prepare(QTextLayout &layout) const;

    QString text_;
    std::vector<std::pair<QChar, QFont>> characterFonts_;
};

} // namespace tandrel
