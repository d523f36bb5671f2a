#pragma once

#include <optional>
#include <string>

namespace tandrel {

// The texts of the project start timecode field: its placeholder and the hint under it, which
// says which start timecode is in force and what to do.
struct ProjectStartTCText {
    static constexpr const char *label = "Project start TC (optional)";

    // The detected start timecode, else "not detected".
    static std::string placeholder(const std::optional<std::string> &detectedProjectStartTimecode);

    // The first that applies: an override (any text, blanks too), a detected start timecode,
    // no active timeline, an active timeline without one.
    static std::string hint(const std::string &projectStartTimecode,
                            const std::optional<std::string> &detectedProjectStartTimecode,
                            const std::optional<std::string> &activeTimelineID);
};

} // namespace tandrel
