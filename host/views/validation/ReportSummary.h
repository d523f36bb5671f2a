#pragma once

#include "core/validation/TimelineValidator.h"

#include <QWidget>

#include <optional>
#include <string>

namespace tandrel {

// The verdict of a validation report in a panel tinted green or red: the headline, the
// report's summary line, and its facts (sequence, frame rate, start, counts, pairs), with a
// warning under the sequence when it is not the timeline selected in the host.
class ReportSummary : public QWidget {
    Q_OBJECT

public:
    ReportSummary(const TimelineValidator::ValidationReport &report,
                  const std::optional<std::string> &activeTimelineName, QWidget *parent = nullptr);

    // One fact: the label in a column 220 points wide, the value beside it.
    static QWidget *factRow(const QString &label, const QString &value);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool passed_;
};

} // namespace tandrel
