#include "host/views/main/ProjectStartTCText.h"

namespace tandrel {

std::string
ProjectStartTCText::placeholder(const std::optional<std::string> &detectedProjectStartTimecode) {
    return detectedProjectStartTimecode.value_or("not detected");
}

std::string ProjectStartTCText::hint(const std::string &projectStartTimecode,
                                     const std::optional<std::string> &detectedProjectStartTimecode,
                                     const std::optional<std::string> &activeTimelineID) {
    // A plain length test: a field of blanks is an override.
    if (!projectStartTimecode.empty()) {
        return "Manual override in use — clear the field to go back to Final Cut Pro's own value.";
    }
    if (detectedProjectStartTimecode) {
        return "Read from Final Cut Pro: " + *detectedProjectStartTimecode +
               ". Only type something here if that's wrong.";
    }
    if (!activeTimelineID) {
        return "Select a timeline to read its start timecode from Final Cut Pro.";
    }
    return "Final Cut Pro didn't report a start timecode for this timeline — if the burn-in "
           "shows \"doesn't fit this timeline\", type the project's start TC here.";
}

} // namespace tandrel
