#pragma once

#include <QAbstractButton>
#include <QColor>

#include <functional>

namespace tandrel {

// A colour picker's well: a rounded swatch of the colour (over a checkerboard, so that its
// opacity shows) that asks for a new colour when pressed. A cancelled picker changes nothing,
// and neither does a colour picked after the well is gone: the view that asked may be torn
// down while the picker is open (its element or preset changed elsewhere).
class ColorWell : public QAbstractButton {
    Q_OBJECT

public:
    // The answer of a picker: the colour the user chose.
    using Picked = std::function<void(const QColor &colour)>;
    // Asks the user for a colour, starting from `initial` and offering opacity, without
    // blocking: `picked` runs once the user chose one, never when the user cancelled. A
    // picker that outlives `parent` may still answer; the well ignores it. Tests answer in its
    // place.
    using Pick = std::function<void(QWidget *parent, const QColor &initial, Picked picked)>;

    static constexpr QSize wellSize{40, 22};

    // Qt's colour dialog with its opacity channel, window-modal over `parent` and closed with
    // it.
    static Pick systemPicker();

    ColorWell(const QColor &colour, Pick pick, QWidget *parent = nullptr);

    QColor colour() const { return colour_; }
    void setColour(const QColor &colour);

    QSize sizeHint() const override { return wellSize; }
    QSize minimumSizeHint() const override { return wellSize; }

signals:
    // The user picked a colour (not emitted by setColour()).
    void colourPicked(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor colour_;
    Pick pick_;
};

} // namespace tandrel
