#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

#include <optional>

namespace corvane {

// A system symbol as a view: a square beside text of `pointSize` points, drawn in the view's
// foreground colour (inherited like text colour) or, for palette drawing, in two colours of
// its own. The property `symbol` holds the name when the symbol exists and is empty for an
// unknown name, which draws nothing.
class CorvaneSymbolView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString symbol READ symbol)

public:
    explicit CorvaneSymbolView(const QString &name, double pointSize = 13,
                               int weight = QFont::Normal, QWidget *parent = nullptr);

    QString symbol() const { return symbol_; }
    void setSymbol(const QString &name);
    double pointSize() const { return pointSize_; }
    void setPointSize(double pointSize);
    int weight() const { return weight_; }
    void setWeight(int weight);
    // Draws a layered symbol's glyph in `primary` over its shape in `secondary`.
    void setPaletteColours(const QColor &primary, const QColor &secondary);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString symbol_;
    double pointSize_;
    int weight_;
    std::optional<std::pair<QColor, QColor>> paletteColours_;
};

} // namespace corvane
