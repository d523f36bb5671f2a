#pragma once

#include "core/validation/TimelineValidator.h"

#include <QWidget>

#include <cstddef>

namespace tandrel {

// The lists of a validation report under its verdict: the all-matched line when it passed,
// else a section per list that is not empty (FCPXML only, resolver only, field mismatches),
// each showing at most `displayCap` rows, in list order, and a note for the rest.
class ReportDetails : public QWidget {
    Q_OBJECT

public:
    ReportDetails(const TimelineValidator::ValidationReport &report, size_t displayCap,
                  QWidget *parent = nullptr);

    // The note under a list of `total` entries, "+ 50 more not shown"; null when every entry
    // has a row.
    QWidget *overflowNote(size_t total) const;

private:
    size_t displayCap_;
};

} // namespace tandrel
