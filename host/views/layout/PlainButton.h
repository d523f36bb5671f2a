#pragma once

#include <QAbstractButton>

namespace tandrel {

// A button in the plain style: a symbol, a text or both, in the button's foreground colour
// (corvaneForeground) with no chrome but a faint highlight under the pointer; dimmed while
// pressed or disabled. The symbol is sized for the button's font.
class PlainButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int horizontalPadding = 4;
    static constexpr int verticalPadding = 3;

    PlainButton(const QString &symbol, const QString &text, const QFont &font,
                QWidget *parent = nullptr);

    QString symbol() const { return symbol_; }
    // A bare button is the content of chrome of its own (a chip): no padding and no highlight
    // of its own, and one line of its text high, the symbol kept within that line.
    void setBare(bool bare);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    double symbolSide() const;

    QString symbol_;
    bool bare_ = false;
    bool hovering_ = false;
};

// A plain button with the kit's tooltip below it (no shortcut) and its own accessible name.
PlainButton *plainButton(const QString &symbol, const QString &text, const QFont &font,
                         const QString &tooltip, const QString &accessibleName);

} // namespace tandrel
