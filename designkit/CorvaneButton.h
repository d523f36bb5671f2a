#pragma once

#include "designkit/CorvaneButtonStyle.h"

#include <QAbstractButton>

namespace corvane {

// A text button painted in the kit's button style, with an optional symbol before the text.
class CorvaneButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QString symbol READ symbol WRITE setSymbol)

public:
    explicit CorvaneButton(const QString &text, CorvaneButtonStyle style = {},
                           QWidget *parent = nullptr);

    CorvaneButtonStyle buttonStyle() const { return style_; }
    void setButtonStyle(CorvaneButtonStyle style);
    void setActive(bool isActive) { setButtonStyle({isActive}); }
    QString symbol() const { return symbol_; }
    void setSymbol(const QString &name);
    // Lets the text wrap onto as many lines as it needs within `width` points (the padding and
    // the symbol aside), centred: at word boundaries, and inside a word only where it is
    // wider than a line. 0, the default, keeps it on one line.
    void setWrapWidth(int width);
    int wrapWidth() const { return wrapWidth_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CorvaneButtonStyle style_;
    QString symbol_;
    int wrapWidth_ = 0;
};

// A round symbol button painted in the kit's icon button style.
class CorvaneIconButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QString symbol READ symbol WRITE setSymbol)

public:
    explicit CorvaneIconButton(const QString &symbol,
                               CorvaneIconButtonStyle style = CorvaneIconButtonStyle::corvaneIcon(),
                               QWidget *parent = nullptr);

    CorvaneIconButtonStyle buttonStyle() const { return style_; }
    QString symbol() const { return symbol_; }
    void setSymbol(const QString &name);
    // The symbol is drawn as beside text of this size and weight (13 points, regular).
    void setSymbolFont(double pointSize, int weight);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CorvaneIconButtonStyle style_;
    QString symbol_;
    double symbolPointSize_ = 13;
    int symbolWeight_ = QFont::Normal;
};

} // namespace corvane
