#pragma once

#include <cstdint>
#include <string_view>

namespace timecode {

// What a media track carries. Timecode tracks are those with the 'tmcd' media handler.
class MediaType {
public:
    enum Case : uint8_t { video, audio, timecode, other };

    constexpr MediaType(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

    // "video", "audio", "timecode", "other".
    std::string_view name() const {
        switch (value_) {
        case video:
            return "video";
        case audio:
            return "audio";
        case timecode:
            return "timecode";
        case other:
            break;
        }
        return "other";
    }

private:
    Case value_;
};

} // namespace timecode
