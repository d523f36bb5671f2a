#pragma once

#include <QAbstractButton>

namespace corvane {

// A plain button whose whole label is a symbol: no fill, no border, the symbol in the button's
// foreground colour (corvaneForeground), dimmed while pressed.
class CorvaneSymbolButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QString symbol READ symbol WRITE setSymbol)

public:
    CorvaneSymbolButton(const QString &symbol, double pointSize, int weight,
                        QWidget *parent = nullptr);

    QString symbol() const { return symbol_; }
    void setSymbol(const QString &name);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString symbol_;
    double pointSize_;
    int weight_;
};

} // namespace corvane
