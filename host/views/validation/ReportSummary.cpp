#include "host/views/validation/ReportSummary.h"

#include "core/validation/ReportTexts.h"
#include "designkit/Color.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/common/WrappingLabel.h"
#include "host/views/validation/SymbolLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace tandrel {

namespace {

using corvane::Color;
using corvane::FontTextStyle;

} // namespace

ReportSummary::ReportSummary(const TimelineValidator::ValidationReport &report,
                             const std::optional<std::string> &activeTimelineName, QWidget *parent)
    : QWidget(parent), passed_(report.passed()) {
    const QColor verdictColour = passed_ ? Color::green() : Color::red();

    auto *symbol = new corvane::CorvaneSymbolView(
        passed_ ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("xmark.octagon.fill"),
        corvane::kitPoints(textStyleFont(FontTextStyle::title2)));
    corvane::corvaneForeground(symbol, verdictColour);
    auto *headline = styledLabel(qtText(ReportTexts::headline(report)),
                                 textStyleFont(FontTextStyle::headline), verdictColour);
    headline->setObjectName(QStringLiteral("headline"));
    auto *verdict = new QHBoxLayout;
    verdict->setSpacing(8);
    verdict->addWidget(symbol, 0, Qt::AlignVCenter);
    verdict->addWidget(headline, 0, Qt::AlignVCenter);
    verdict->addStretch(1);

    auto *summaryLine = wrappingLabel(QString::fromStdString(report.summaryLine()),
                                      monospacedFont(FontTextStyle::callout), Color::primary());
    summaryLine->setObjectName(QStringLiteral("summaryLine"));

    auto *facts = new QVBoxLayout;
    facts->setContentsMargins(0, 2, 0, 0);
    facts->setSpacing(3);
    const auto warning = ReportTexts::nameWarning(report, activeTimelineName);
    bool first = true;
    for (const ReportTexts::Fact &fact : ReportTexts::facts(report)) {
        facts->addWidget(factRow(qtText(fact.label), QString::fromStdString(fact.value)));
        // The warning is about the sequence, so it stands right under it.
        if (first && warning) {
            auto *label =
                new SymbolLabel(QStringLiteral("exclamationmark.triangle"), qtText(*warning),
                                textStyleFont(FontTextStyle::caption2), Color::orange());
            label->setObjectName(QStringLiteral("nameWarning"));
            facts->addWidget(label);
        }
        first = false;
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(defaultPadding, defaultPadding, defaultPadding, defaultPadding);
    layout->setSpacing(8);
    layout->addLayout(verdict);
    layout->addWidget(summaryLine);
    layout->addLayout(facts);
}

QWidget *ReportSummary::factRow(const QString &label, const QString &value) {
    const QFont font = textStyleFont(FontTextStyle::caption2);
    auto *row = new QWidget;
    row->setObjectName(QStringLiteral("fact"));
    auto *name = styledLabel(label, font, Color::corvaneTextSecondary());
    name->setObjectName(QStringLiteral("factLabel"));
    name->setFixedWidth(220);
    // A sequence's name can be long: it wraps in its column.
    auto *shown = wrappingLabel(value, font, Color::primary());
    shown->setObjectName(QStringLiteral("factValue"));
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(name, 0, Qt::AlignTop);
    layout->addWidget(shown, 1, Qt::AlignTop);
    return row;
}

void ReportSummary::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    corvane::fillRounded(painter, rect(), 10,
                         corvane::withOpacity(passed_ ? Color::green() : Color::red(), 0.08));
}

} // namespace tandrel
