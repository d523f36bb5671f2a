#pragma once

#include <QWidget>

namespace tandrel {

// A small indeterminate progress indicator: a ring of twelve strokes whose brightest stroke
// goes round while it is on screen. Its steps run on the kit's clock.
class ActivityIndicator : public QWidget {
    Q_OBJECT

public:
    explicit ActivityIndicator(double diameter = 14, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Draws the ring in `rect` in `colour`, its brightest stroke at `step` (0 to 11).
    static void paint(QPainter &painter, const QRectF &rect, int step, const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void scheduleStep();

    double diameter_;
    int step_ = 0;
    // Counts shows, so a step scheduled for an earlier showing stops.
    int showing_ = 0;
    bool visible_ = false;
};

} // namespace tandrel
