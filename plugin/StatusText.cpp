#include "plugin/StatusText.h"

namespace tandrel {

std::string StatusText::unsupportedRate(uint64_t num, uint64_t den) {
    return "Embrik: unsupported timeline frame rate (" + std::to_string(num) + "/" +
           std::to_string(den) + ")";
}

std::string StatusText::noClips(std::string_view timelineName) {
    return "Embrik: no clips found in '" + std::string(timelineName) +
           "' \u2014 re-select the timeline in the Host";
}

std::string StatusText::playheadDoesNotFit(std::string_view timecode) {
    return "Embrik: playhead " + std::string(timecode) +
           " doesn't fit this timeline \u2014 set Project start TC in the Host";
}

std::string StatusText::refused(std::string_view why) {
    return "Embrik: snapshot not read \u2014 " + std::string(why);
}

std::string StatusText::choose(bool snapshotLoaded, const std::optional<std::string> &reason) {
    if (!snapshotLoaded) {
        return std::string(startHost);
    }
    return reason ? *reason : std::string(gap);
}

} // namespace tandrel
