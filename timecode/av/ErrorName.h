#pragma once

#include <exception>
#include <string>

namespace timecode {

// A short name for an error of the timecode library: the case name of the media, validation
// and text errors ("missingOrNonStandardFrameRate", "outOfBounds", "malformed"), the message of
// any other exception.
std::string errorName(const std::exception_ptr &error);

} // namespace timecode
