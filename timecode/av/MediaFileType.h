#pragma once

#include <cstdint>

namespace timecode {

// The kind of movie file a track is written for. Both take the same timecode track; they
// differ in the handler box's form and the media header of the track.
class MediaFileType {
public:
    enum Case : uint8_t { quickTimeMovie, mpeg4 };

    constexpr MediaFileType(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

private:
    Case value_;
};

} // namespace timecode
