#pragma once

#include "core/validation/TimelineValidator.h"
#include "tools/tandrel-cli/CommandLine.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace tandrel::cli {

// tandrel-cli validate LIBRARY TIMELINE FILE: resolves the timeline as `edl` does, reads the
// FCPXML export FILE (a ".fcpxml" file or ".fcpxmld" bundle), picks the sequence named like
// the timeline or else the export's primary timeline, compares the two as the host does and
// prints the report on `out`. Answers 0 when the report passes, 1 when it shows differences,
// and 2, with the failure's description on `err`, when no report could be made.
int validate(const std::filesystem::path &library, const std::string &timeline,
             const std::filesystem::path &fcpxml, std::ostream &out, std::ostream &err);

// The command's row of the table: LIBRARY TIMELINE FILE, on stdout and stderr.
int validateCommand(const Arguments &arguments);

// The report as `validate` prints it: verdict, summary line, facts (with the name warning
// when the sequence is not the timeline named `timelineName`), then every row of every list
// that is not empty.
std::string reportText(const TimelineValidator::ValidationReport &report,
                       const std::optional<std::string> &timelineName);

} // namespace tandrel::cli
