#pragma once

#include "timecode/core/Fraction.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/TimecodeSubFramesBase.h"
#include "timecode/core/TimecodeUpperLimit.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace timecode {

class VideoFrameRate;

// The 23 SMPTE timecode frame rates a timecode counts in. Every answer comes from a fixed
// table indexed by the rate. Coded as its raw text ("29.97d"); two rates are equal exactly when
// their raw texts are.
class TimecodeFrameRate {
public:
    enum Case : uint8_t {
        fps23_976,
        fps24,
        fps24_98,
        fps25,
        fps29_97,
        fps29_97d,
        fps30,
        fps30d,
        fps47_952,
        fps48,
        fps50,
        fps59_94,
        fps59_94d,
        fps60,
        fps60d,
        fps90,
        fps95_904,
        fps96,
        fps100,
        fps119_88,
        fps119_88d,
        fps120,
        fps120d,
    };
    static constexpr std::size_t caseCount = 23;

    // The groups of rates whose timecodes are compatible with each other.
    class CompatibleGroup {
    public:
        enum Case : uint8_t { ntscColor, ntscDrop, whole, ntscColorWallTime };

        static constexpr std::array<Case, 4> allCases() {
            return {ntscColor, ntscDrop, whole, ntscColorWallTime};
        }

        constexpr CompatibleGroup(Case value) : value_(value) {}
        constexpr operator Case() const { return value_; }

        // "NTSC Color", "NTSC Drop-Frame", "Whole", "NTSC Color Wall Time".
        std::string_view description() const;
        std::string_view stringValue() const { return description(); }
        // The member rates in table order.
        const std::vector<TimecodeFrameRate> &rates() const;

    private:
        Case value_;
    };

    struct AAFMetadata {
        std::string editRate;
        std::string dropFrame;
        std::string framesPerSecond;
        friend bool operator==(const AAFMetadata &, const AAFMetadata &) = default;
    };

    struct FCPXMLMetadata {
        std::string frameDuration;
        std::string tcFormat;
        friend bool operator==(const FCPXMLMetadata &, const FCPXMLMetadata &) = default;
    };

    static const std::array<TimecodeFrameRate, caseCount> &allCases();
    static const std::vector<TimecodeFrameRate> &allDrop();
    static const std::vector<TimecodeFrameRate> &allNonDrop();

    constexpr TimecodeFrameRate(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }
    constexpr Case id() const { return value_; }

    // The rate whose raw text equals the text exactly (case-sensitive, untrimmed).
    static std::optional<TimecodeFrameRate> fromRawValue(std::string_view text);
    static std::optional<TimecodeFrameRate> fromStringValue(std::string_view text) {
        return fromRawValue(text);
    }
    // The first rate in case order whose rate (or frame duration, alternate durations
    // included) matches the value and whose drop flag equals `drop`.
    static std::optional<TimecodeFrameRate> fromRate(const Fraction &rate, bool drop);
    static std::optional<TimecodeFrameRate> fromRate(const MediaTime &rate, bool drop);
    static std::optional<TimecodeFrameRate> fromFrameDuration(const Fraction &frameDuration,
                                                              bool drop);
    static std::optional<TimecodeFrameRate> fromFrameDuration(const MediaTime &frameDuration,
                                                              bool drop);

    std::string_view rawValue() const;
    std::string_view stringValue() const { return rawValue(); }
    std::string_view description() const { return rawValue(); }
    // "29.97 fps drop".
    std::string_view stringValueVerbose() const;

    // Exact rate and frame duration, not reduced (whole rates keep 100/2400).
    Fraction rate() const;
    Fraction frameDuration() const;
    // 1000 over the decimal name × 1000 for the NTSC rates (1000/29970); absent otherwise.
    std::optional<Fraction> alternateFrameDuration() const;
    MediaTime rateCMTime() const { return rate().cmTimeValue(); }
    MediaTime frameDurationCMTime() const { return frameDuration().cmTimeValue(); }

    // Timecode frames per second: the modulus of the frames component.
    int maxFrames() const;
    int maxFrameNumberDisplayable() const { return maxFrames() - 1; }
    bool isDrop() const;
    // 2, 4 or 8 at the drop rates, else 0.
    double framesDroppedPerMinute() const;
    // maxFrames at the non-drop rates; 29.97, 59.94 or 119.88 at the drop rates.
    double frameRateForElapsedFramesCalculation() const;
    // The exact rate as a double (30.0 for 30d).
    double frameRateForRealTimeCalculation() const;
    // Digits of the frames component: 2, or 3 from 119.88 on.
    int numberOfDigits() const;

    // Frames in 24 hours (drop-frame numbers removed), or 100 times that for 100 days.
    int64_t maxTotalFrames(TimecodeUpperLimit limit) const;
    int64_t maxTotalFramesExpressible(TimecodeUpperLimit limit) const {
        return maxTotalFrames(limit) - 1;
    }
    int64_t maxTotalSubFrames(TimecodeUpperLimit limit, TimecodeSubFramesBase base) const {
        return maxTotalFrames(limit) * base.rawValue();
    }
    int64_t maxSubFrameCountExpressible(TimecodeUpperLimit limit,
                                        TimecodeSubFramesBase base) const {
        return maxTotalSubFrames(limit, base) - 1;
    }

    CompatibleGroup compatibleGroup() const;
    const std::vector<TimecodeFrameRate> &compatibleGroupRates() const {
        return compatibleGroup().rates();
    }
    bool isCompatible(TimecodeFrameRate other) const;

    AAFMetadata aafMetadata() const;
    FCPXMLMetadata fcpXMLMetadata() const;

    // The video rate of the same value, progressive or interlaced, if there is one.
    std::optional<VideoFrameRate> videoFrameRate(bool interlaced) const;

private:
    Case value_;
};

// The rate a text names, offered on text: TimecodeFrameRate::fromStringValue.
inline std::optional<TimecodeFrameRate> timecodeFrameRate(std::string_view text) {
    return TimecodeFrameRate::fromStringValue(text);
}

} // namespace timecode

template <> struct std::hash<timecode::TimecodeFrameRate> {
    std::size_t operator()(timecode::TimecodeFrameRate rate) const noexcept {
        // The raw texts are in one-to-one correspondence with the cases.
        return std::hash<int>{}(static_cast<int>(rate.id()));
    }
};
