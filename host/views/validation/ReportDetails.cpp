#include "host/views/validation/ReportDetails.h"

#include "core/validation/ReportTexts.h"
#include "designkit/Color.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/common/WrappingLabel.h"
#include "host/views/validation/MismatchRow.h"
#include "host/views/validation/ReportSection.h"
#include "host/views/validation/UnmatchedRow.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace tandrel {

namespace {

using corvane::Color;
using corvane::FontTextStyle;
using Kind = ReportTexts::SectionKind;

struct SectionLook {
    QColor tint;
    QString symbol;
};

SectionLook look(Kind kind) {
    switch (kind) {
    case Kind::unmatchedFCPXML:
        return {Color::red(), QStringLiteral("minus.circle.fill")};
    case Kind::unmatchedResolver:
        return {Color::orange(), QStringLiteral("plus.circle.fill")};
    case Kind::mismatches:
        break;
    }
    return {Color::yellow(), QStringLiteral("exclamationmark.triangle.fill")};
}

} // namespace

ReportDetails::ReportDetails(const TimelineValidator::ValidationReport &report, size_t displayCap,
                             QWidget *parent)
    : QWidget(parent), displayCap_(displayCap) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    if (report.passed()) {
        auto *allMatched =
            wrappingLabel(qtText(ReportTexts::allMatched), textStyleFont(FontTextStyle::caption),
                          Color::corvaneTextSecondary());
        allMatched->setObjectName(QStringLiteral("allMatched"));
        layout->addWidget(allMatched);
    }
    for (const ReportTexts::Section &section : ReportTexts::sections(report)) {
        const SectionLook sectionLook = look(section.kind);
        auto *box = new ReportSection(qtText(section.title), section.count, sectionLook.tint,
                                      sectionLook.symbol);
        const size_t shown = std::min(section.count, displayCap_);
        if (section.kind == Kind::mismatches) {
            for (size_t i = 0; i < shown; ++i) {
                box->addRow(new MismatchRow(report.mismatches[i]));
            }
        } else {
            const auto &clips = section.kind == Kind::unmatchedFCPXML ? report.unmatchedFCPXML
                                                                      : report.unmatchedResolver;
            for (size_t i = 0; i < shown; ++i) {
                box->addRow(new UnmatchedRow(clips[i], sectionLook.tint));
            }
        }
        if (QWidget *note = overflowNote(section.count)) {
            box->addRow(note);
        }
        layout->addWidget(box);
    }
}

QWidget *ReportDetails::overflowNote(size_t total) const {
    const auto note = ReportTexts::overflowNote(total, displayCap_);
    if (!note) {
        return nullptr;
    }
    auto *label = styledLabel(QString::fromStdString(*note), textStyleFont(FontTextStyle::caption2),
                              Color::corvaneTextTertiary());
    label->setObjectName(QStringLiteral("overflowNote"));
    label->setContentsMargins(4, 0, 0, 0);
    return label;
}

} // namespace tandrel
