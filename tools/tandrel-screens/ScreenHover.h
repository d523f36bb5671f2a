#pragma once

// The pointer on a screen: resting on a widget, and long enough for its kit tooltip to show.
// Each screen is drawn in a process of its own, so the kit's clock of the process is stepped
// by hand: a tooltip is on screen, faded in, when the screen is taken.

#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneTooltip.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMetaObject>
#include <QWidget>

namespace tandrel::screens {

// The pointer resting on `widget`, as the window system would report it.
inline void hover(QWidget *widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QEnterEvent enter(at, at, widget->mapToGlobal(at));
    QCoreApplication::sendEvent(widget, &enter);
}

// The kit's clock of this process, moved by hand.
inline corvane::ManualClock &screenClock() {
    static corvane::ManualClock clock;
    static corvane::ScopedClock scoped(clock);
    return clock;
}

// Rests the pointer on `anchor` once the screen is shown and laid out, long enough for its
// tooltip to show.
inline void showTooltipWhenShown(QWidget *anchor) {
    screenClock();
    QMetaObject::invokeMethod(
        anchor,
        [anchor] {
            hover(anchor);
            screenClock().advance(corvane::CorvaneTooltipModifier::delay +
                                  corvane::CorvaneTooltipModifier::fadeIn);
        },
        Qt::QueuedConnection);
}

} // namespace tandrel::screens
