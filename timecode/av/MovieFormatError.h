#pragma once

#include <stdexcept>
#include <string>

namespace timecode {

// The bytes of a QuickTime or MPEG-4 file do not have the box structure the reader needs. The
// asset reader reports it as MediaParseError::internalError, the movie editor as
// MediaWriteError::internalError.
class MovieFormatError : public std::runtime_error {
public:
    explicit MovieFormatError(const std::string &what) : std::runtime_error(what) {}
};

} // namespace timecode
