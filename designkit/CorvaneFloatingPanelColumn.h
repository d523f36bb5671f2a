#pragma once

#include "designkit/CorvaneClock.h"
#include "designkit/Edge.h"

#include <QWidget>

class QVBoxLayout;

namespace corvane {

class CorvaneAnimation;

// A column of floating panels against the leading or trailing side of its parent: the panels
// 8 points apart, `width` points wide, with 8 points above and below them and 8 on the side
// of `edge` only. It slides in from that edge and out to it when shown or hidden through
// setVisibleAnimated(); show(), hide() and setVisible() act at once.
class CorvaneFloatingPanelColumn : public QWidget {
    Q_OBJECT

public:
    static constexpr int padding = 8;
    static constexpr int spacing = 8;
    static constexpr CorvaneClock::Duration defaultSlide{200};

    CorvaneFloatingPanelColumn(double width, HorizontalEdge edge, QWidget *parent = nullptr);

    double columnWidth() const { return width_; }
    HorizontalEdge edge() const { return edge_; }
    // Adds a panel under the others; the column takes ownership.
    void addPanel(QWidget *panel, int stretch = 0);

    // Slides the column in (showing it first) or out (hiding it at the end), eased in and
    // out, from where it is now.
    void setVisibleAnimated(bool visible, CorvaneClock::Duration duration = defaultSlide);
    // How much of the column's width is on screen, from 0 to 1.
    double revealed() const { return revealed_; }
    // Where the panels are, in the column: off their place towards the edge while sliding.
    QRect panelsGeometry() const;

    void setVisible(bool visible) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    int fullWidth() const;
    void setRevealed(double revealed);

    double width_;
    HorizontalEdge edge_;
    QWidget *panels_;
    QVBoxLayout *stack_;
    CorvaneAnimation *slide_;
    double revealed_ = 1;
};

} // namespace corvane
