#pragma once

#include "timecode/core/Fraction.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/TimecodeFrameRate.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace timecode {

// The 21 frame rates a picture stream runs at, progressive or interlaced. For an interlaced
// rate `rate` is the frame rate and the frame duration is written over twice the progressive
// denominator (200/5000 is 1/25 s). Coded as its raw text ("29.97i").
class VideoFrameRate {
public:
    enum Case : uint8_t {
        fps23_98p,
        fps24p,
        fps25p,
        fps25i,
        fps29_97p,
        fps29_97i,
        fps30p,
        fps47_95p,
        fps48p,
        fps50p,
        fps50i,
        fps59_94p,
        fps59_94i,
        fps60p,
        fps60i,
        fps90p,
        fps95_9p,
        fps96p,
        fps100p,
        fps119_88p,
        fps120p,
    };
    static constexpr std::size_t caseCount = 21;

    static const std::array<VideoFrameRate, caseCount> &allCases();

    constexpr VideoFrameRate(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }
    constexpr Case id() const { return value_; }

    static std::optional<VideoFrameRate> fromRawValue(std::string_view text);
    static std::optional<VideoFrameRate> fromStringValue(std::string_view text) {
        return fromRawValue(text);
    }
    // The first rate in case order whose rate (or frame duration, alternate durations included)
    // matches the value and whose interlaced flag is the one asked for.
    static std::optional<VideoFrameRate> fromRate(const Fraction &rate, bool interlaced);
    static std::optional<VideoFrameRate> fromRate(const MediaTime &rate, bool interlaced);
    static std::optional<VideoFrameRate> fromFrameDuration(const Fraction &frameDuration,
                                                           bool interlaced);
    static std::optional<VideoFrameRate> fromFrameDuration(const MediaTime &frameDuration,
                                                           bool interlaced);
    // The rate whose frames per second equal `fps` truncated to 3 places when strict, else 1
    // place; failing that, rounded to those places (halves away from zero).
    static std::optional<VideoFrameRate> fromFps(double fps, bool interlaced, bool strict);
    // Single precision cannot carry three places reliably: always 1 place, whatever `strict`.
    static std::optional<VideoFrameRate> fromFps(float fps, bool interlaced, bool strict);

    std::string_view rawValue() const;
    std::string_view stringValue() const { return rawValue(); }
    std::string_view description() const { return rawValue(); }

    Fraction rate() const;
    Fraction frameDuration() const;
    std::optional<Fraction> alternateFrameDuration() const;
    MediaTime rateCMTime() const { return rate().cmTimeValue(); }
    MediaTime frameDurationCMTime() const { return frameDuration().cmTimeValue(); }

    // The rate's quotient as a double (29.97002997…).
    double fps() const { return rate().doubleValue(); }
    bool isInterlaced() const;

    // The timecode rate that counts this rate's frames, in its drop-frame form when asked; absent
    // where no such form is offered.
    std::optional<TimecodeFrameRate> timecodeFrameRate(bool drop) const;

private:
    Case value_;
};

// The rate a text names, offered on text: VideoFrameRate::fromStringValue.
inline std::optional<VideoFrameRate> videoFrameRate(std::string_view text) {
    return VideoFrameRate::fromStringValue(text);
}

} // namespace timecode

template <> struct std::hash<timecode::VideoFrameRate> {
    std::size_t operator()(timecode::VideoFrameRate rate) const noexcept {
        return std::hash<int>{}(static_cast<int>(rate.id()));
    }
};
