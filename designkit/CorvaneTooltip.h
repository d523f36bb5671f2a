#pragma once

#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneTooltipPill.h"
#include "designkit/Edge.h"

#include <QObject>
#include <QPointer>

#include <optional>

class QWidget;

namespace corvane {

class CorvaneAnimation;
class TooltipClickWatcher;

// The kit's tooltip on a widget, in place of the system's: after the pointer has rested on
// the widget for 350 ms a dark pill with the text (and the shortcut under it) fades in over
// 0.1 s above the widget (edge top) or below it (any other edge), pushed sideways to stay
// inside the window. Leaving hides it at once, and so does another window taking the keyboard
// from the widget's; a click on the widget hides it, or keeps it from showing when the delay
// runs out, until the pointer leaves and comes back.
//
// Every entry starts a delay of its own that nothing cancels, and that shows the pill only if
// the pointer is over the widget when it runs out: a pointer that leaves and comes back
// within the delay sees the pill 350 ms after its first entry. Delays and the fade run on the
// kit's clock (CorvaneClock).
//
// A tooltip without text shows nothing.
//
// The pill is a child of the widget's top-level window, above its other children, so no
// scroll area or card clips it. The widget's accessible name becomes the text and its
// accessible description "Shortcut " and the shortcut, or nothing.
class CorvaneTooltipModifier : public QObject {
    Q_OBJECT

public:
    static constexpr CorvaneClock::Duration delay{350};
    static constexpr CorvaneClock::Duration fadeIn{100};

    CorvaneTooltipModifier(QWidget *anchor, const QString &text,
                           const std::optional<QString> &shortcut, Edge edge);
    ~CorvaneTooltipModifier() override;

    QWidget *anchor() const { return anchor_; }
    QString text() const { return text_; }
    std::optional<QString> shortcut() const { return shortcut_; }
    Edge edge() const { return edge_; }
    // Changes what the tooltip says and where it shows, at once if it is showing.
    void setContent(const QString &text, const std::optional<QString> &shortcut, Edge edge);

    bool isHovering() const { return hovering_; }
    bool isShown() const { return shown_; }
    // The pill; nullptr until it has first been shown.
    CorvaneTooltipPill *pill() const { return pill_; }
    // The pill's sideways shift where it is now (CorvaneTooltipPositioning).
    double horizontalCorrection() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enter();
    void leave();
    void tapped();
    void show();
    void hide();
    void place();
    void describe();

    QWidget *anchor_;
    QString text_;
    std::optional<QString> shortcut_;
    Edge edge_;
    bool hovering_ = false;
    bool shown_ = false;
    // Clicked since the pointer came: no pill until it leaves and comes back.
    bool tapped_ = false;
    // The window the pointer rests in, watched for losing the keyboard.
    QPointer<QWidget> hoveredWindow_;
    QPointer<CorvaneTooltipPill> pill_;
    CorvaneAnimation *fade_;
    TooltipClickWatcher *clicks_;
};

// Gives `widget` the kit's tooltip, or changes the one it has; the modifier lives as long
// as the widget.
CorvaneTooltipModifier *corvaneTooltip(QWidget *widget, const QString &text,
                                       const std::optional<QString> &shortcut = std::nullopt,
                                       Edge edge = Edge::bottom);

} // namespace corvane
