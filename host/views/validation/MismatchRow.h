#pragma once

#include "core/validation/TimelineValidator.h"

#include <QWidget>

namespace tandrel {

// A field that differs on a matched clip: the clip's name (at least 100 points, cut in the
// middle when long), the field in orange, then at the far end what the FCPXML has against
// what the resolver found, and the difference in frames, in red, where it has one.
class MismatchRow : public QWidget {
    Q_OBJECT

public:
    // Between what the FCPXML has and what the resolver found.
    static constexpr QChar arrow{0x2192};

    explicit MismatchRow(const TimelineValidator::FieldMismatch &mismatch,
                         QWidget *parent = nullptr);
};

} // namespace tandrel
