#pragma once

#include "designkit/CorvaneClock.h"
#include "designkit/Edge.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <vector>

class QVBoxLayout;

namespace corvane {

class CorvaneAnimation;
class CorvaneScrollArea;

// A column of floating panels against the leading or trailing side of its parent: the panels
// 8 points apart, `width` points wide, with 8 points above and below them and 8 on the side
// of `edge` only. It slides in from that edge and out to it when shown or hidden through
// setVisibleAnimated(); show(), hide() and setVisible() act at once.
//
// A single panel comes and goes within the shown column the same way, eased in and out over
// 0.2 s on the kit's clock when asked: an incoming panel fades in at its place while the
// panels below it move down to make room; an outgoing one fades out where it is while the
// panels below move up into its room, and is deleted at the end.
//
// The panels share the column's height by what they hold (Sizing). When all of them fit, each
// is as tall as its content asks at the column's width and no taller (a panel is never
// stretched into an empty band; the column's glass shows below the last one). When they do
// not, the height missing is taken from the panels that scroll, the tallest first, each down to
// its least (a whole row of its content, CorvaneScrollArea); never from a fixed one. Where even
// that is too tall, the column itself scrolls, in the kit's look: no panel is ever cut mid-row. So
// a panel that only holds a line does not take the room a panel beside it needs to show its rows.
class CorvaneFloatingPanelColumn : public QWidget {
    Q_OBJECT

public:
    static constexpr int padding = 8;
    static constexpr int spacing = 8;
    static constexpr CorvaneClock::Duration defaultSlide{200};
    static constexpr CorvaneClock::Duration panelTransition{200};

    // How a panel takes its share of the column's height.
    enum class Sizing {
        // Its content scrolls: it gives way, down to its least.
        scrolls,
        // As tall as its content, no more and no less: the column scrolls rather than cut it.
        fixed,
    };

    CorvaneFloatingPanelColumn(double width, HorizontalEdge edge, QWidget *parent = nullptr);
    ~CorvaneFloatingPanelColumn() override;

    double columnWidth() const { return width_; }
    HorizontalEdge edge() const { return edge_; }
    // Adds a panel under the others; the column takes ownership.
    void addPanel(QWidget *panel, Sizing sizing = Sizing::scrolls);
    // Puts a panel at `index` among the panels (a panel already in the column moves there);
    // the column takes ownership. Animated only while the column is shown.
    void insertPanel(int index, QWidget *panel, Sizing sizing = Sizing::scrolls,
                     bool animated = false);
    // How a panel of the column shares its height.
    static Sizing sizingOf(const QWidget *panel);
    // Takes a panel out and deletes it, at once or after it faded out.
    void removePanel(QWidget *panel, bool animated = false);
    // The panels in the column, top to bottom; not those fading out.
    QList<QWidget *> panels() const;
    // Whether panels are coming or going now.
    bool isRearranging() const;

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
    // Where a panel goes during a rearrangement, and how visible it is.
    struct Move {
        QPointer<QWidget> panel;
        QRect from;
        QRect to;
        // How much of it shows, from its top, while it comes or goes (`clipped`).
        int fromShown = 0;
        int toShown = 0;
        double fromOpacity = 1;
        double toOpacity = 1;
        bool clipped = false;
        bool leaves = false;
    };

    int fullWidth() const;
    void setRevealed(double revealed);
    // Runs `change` on the stack and animates every panel from where it is to where the
    // stack then puts it; `entering` fades in, `leaving` fades out and goes.
    void rearrange(const std::function<void()> &change, QWidget *entering, QWidget *leaving);
    void showRearrangement(double progress);
    void endRearrangement();

    double width_;
    HorizontalEdge edge_;
    CorvaneScrollArea *scroll_;
    QWidget *panels_;
    QVBoxLayout *stack_;
    CorvaneAnimation *slide_;
    CorvaneAnimation *reflow_;
    std::vector<Move> moves_;
    double revealed_ = 1;
};

} // namespace corvane
