#include "tools/tandrel-cli/ValidateCommand.h"

#include "core/validation/ReportTexts.h"
#include "core/validation/TimelineValidation.h"
#include "tools/tandrel-cli/TimelineSession.h"

#include <algorithm>
#include <exception>
#include <iostream>

namespace tandrel::cli {

namespace {

// Two spaces between the pieces of a row.
void appendPiece(std::string &row, std::string_view piece) {
    row.append("  ").append(piece);
}

} // namespace

std::string reportText(const TimelineValidator::ValidationReport &report,
                       const std::optional<std::string> &timelineName) {
    std::string text;
    text.append(ReportTexts::headline(report)).append("\n");
    text.append(report.summaryLine()).append("\n\n");

    const auto facts = ReportTexts::facts(report);
    size_t labelWidth = 0;
    for (const auto &fact : facts) {
        labelWidth = std::max(labelWidth, fact.label.size());
    }
    for (size_t i = 0; i < facts.size(); ++i) {
        std::string label(facts[i].label);
        label.resize(labelWidth, ' ');
        text.append(label).append("  ").append(facts[i].value).append("\n");
        // The warning stands right under the sequence it is about.
        if (const auto warning = ReportTexts::nameWarning(report, timelineName);
            i == 0 && warning) {
            text.append(std::string(labelWidth + 2, ' ')).append(*warning).append("\n");
        }
    }
    if (report.passed()) {
        text.append("\n").append(ReportTexts::allMatched).append("\n");
    }

    for (const auto &section : ReportTexts::sections(report)) {
        text.append("\n")
            .append(section.title)
            .append(" (" + std::to_string(section.count) + ")\n");
        if (section.kind == ReportTexts::SectionKind::mismatches) {
            for (const auto &mismatch : report.mismatches) {
                std::string row;
                appendPiece(row, ReportTexts::rowName(mismatch.clipName));
                appendPiece(row, mismatch.field);
                appendPiece(row, ReportTexts::expectedAndActual(mismatch));
                if (const auto delta = ReportTexts::delta(mismatch)) {
                    appendPiece(row, *delta);
                }
                text.append(row).append("\n");
            }
            continue;
        }
        const auto &clips = section.kind == ReportTexts::SectionKind::unmatchedFCPXML
                                ? report.unmatchedFCPXML
                                : report.unmatchedResolver;
        for (const auto &clip : clips) {
            std::string row;
            appendPiece(row, ReportTexts::rowName(clip.name));
            if (clip.elementType) {
                appendPiece(row, *clip.elementType);
            }
            appendPiece(row, ReportTexts::timecode(clip));
            text.append(row).append("\n");
        }
    }
    return text;
}

int validate(const std::filesystem::path &library, const std::string &timeline,
             const std::filesystem::path &fcpxml, std::ostream &out, std::ostream &err) {
    try {
        TimelineSession session(library, timeline);
        std::shared_ptr<const EditDecisionList> list;
        try {
            list = session.resolver().getEDL(session.timeline().collectionPK);
        } catch (const std::exception &) {
            // As in the host, the reason is dropped: the edit list is just unavailable.
        }
        if (!list) {
            throw TimelineValidation::Error::edlUnavailable();
        }
        const std::string &name = session.timeline().name;
        const auto report = TimelineValidation::againstFCPXML(fcpxml, name, list->entries());
        out << reportText(report, name);
        return report.passed() ? 0 : 1;
    } catch (const std::exception &error) {
        err << "tandrel-cli: " << error.what() << "\n";
        return 2;
    }
}

int validateCommand(const Arguments &arguments) {
    return validate(arguments.operands.at(0), arguments.operands.at(1), arguments.operands.at(2),
                    std::cout, std::cerr);
}

} // namespace tandrel::cli
