#pragma once

class QAbstractScrollArea;

namespace corvane {

// The kit's scroll look: slim rounded indicators in faint white on a clear track, without the
// desktop's arrow buttons, so a scrolling panel keeps the glass it sits on. Applied to both of
// the scroll area's bars.
void corvaneScrollIndicators(QAbstractScrollArea *area);
// Whether the scroll area has the kit's look rather than the desktop's bar.
bool hasCorvaneScrollIndicators(const QAbstractScrollArea *area);

} // namespace corvane
