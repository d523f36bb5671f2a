#include "timecode/av/MediaParseError.h"
#include "timecode/av/MediaWriteError.h"

#include <utility>

namespace timecode {

namespace {

std::string withDetail(std::string_view text, const std::string &detail) {
    std::string message(text);
    if (!detail.empty()) {
        message.append(" (").append(detail).append(")");
    }
    return message;
}

std::string_view parseErrorText(MediaParseError::Case value) {
    switch (value) {
    case MediaParseError::missingOrNonStandardFrameRate:
        return "The media has no frame rate, or none that is a standard timecode or video rate.";
    case MediaParseError::unknownTimecode:
        return "The media carries no timecode that can be read.";
    case MediaParseError::internalError:
        return "The media could not be read.";
    case MediaParseError::noData:
        return "The media holds no data.";
    }
    return {};
}

} // namespace

MediaParseError::MediaParseError(Case value, std::string detail)
    : value_(value), message_(withDetail(parseErrorText(value), detail)) {}

std::string_view MediaParseError::name() const {
    switch (value_) {
    case missingOrNonStandardFrameRate:
        return "missingOrNonStandardFrameRate";
    case unknownTimecode:
        return "unknownTimecode";
    case internalError:
        return "internalError";
    case noData:
        return "noData";
    }
    return {};
}

MediaWriteError::MediaWriteError(Case value, std::string detail)
    : value_(value), message_(withDetail("The timecode track could not be written.", detail)) {}

} // namespace timecode
