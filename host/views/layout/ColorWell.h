#pragma once

#include <QAbstractButton>
#include <QColor>

#include <functional>
#include <optional>

namespace tandrel {

// A colour picker's well: a rounded swatch of the colour (over a checkerboard, so that its
// opacity shows) that asks for a new colour when pressed. A cancelled picker changes nothing.
class ColorWell : public QAbstractButton {
    Q_OBJECT

public:
    // Asks the user for a colour, starting from `initial` and offering opacity; nothing when
    // the user cancelled. Tests answer in its place.
    using Pick = std::function<std::optional<QColor>(QWidget *parent, const QColor &initial)>;

    static constexpr QSize wellSize{40, 22};

    // Qt's colour dialog with its opacity channel.
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
