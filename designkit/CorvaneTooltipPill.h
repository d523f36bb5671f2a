#pragma once

#include <QWidget>

#include <optional>

namespace corvane {

// The tooltip's dark pill: the help text and, under it, an optional shortcut, each centred
// line by line, a "\n" in them starting a new line. It takes its ideal size and is never wider
// than 220 points: longer text wraps at word boundaries (inside a word only where one word is
// too long for a line) and the pill grows in height. It never takes the pointer or clicks.
class CorvaneTooltipPill : public QWidget {
    Q_OBJECT

public:
    static constexpr int maximumWidth = 220;
    static constexpr int horizontalPadding = 8;
    static constexpr int verticalPadding = 4;
    static constexpr int lineSpacing = 2;
    static constexpr double cornerRadius = 6;

    explicit CorvaneTooltipPill(QWidget *parent = nullptr);

    void setContent(const QString &text, const std::optional<QString> &shortcut);
    QString text() const { return text_; }
    std::optional<QString> shortcut() const { return shortcut_; }
    double opacity() const { return opacity_; }
    void setOpacity(double opacity);

    QSize sizeHint() const override;
    // The height of a pill of one line of text and no shortcut.
    int oneLineHeight() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString text_;
    std::optional<QString> shortcut_;
    double opacity_ = 1;
};

} // namespace corvane
