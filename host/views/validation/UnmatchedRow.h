#pragma once

#include "core/validation/TimelineValidator.h"

#include <QColor>
#include <QWidget>

namespace tandrel {

// A clip that only one side of a validation has: a dot in the section's tint, the clip's
// name (cut in the middle when the row is short of room), its element type when known, and
// its place on the project's timecode at the far end.
class UnmatchedRow : public QWidget {
    Q_OBJECT

public:
    UnmatchedRow(const TimelineValidator::UnmatchedClip &clip, const QColor &tint,
                 QWidget *parent = nullptr);
};

} // namespace tandrel
