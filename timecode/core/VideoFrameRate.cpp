#include "timecode/core/VideoFrameRate.h"

#include "timecode/core/FrameRateProtocol.h"
#include "timecode/core/NumericUtilities.h"

#include <algorithm>

namespace timecode {

namespace {

using TC = TimecodeFrameRate;

struct Row {
    std::string_view raw;
    int64_t rateNumerator;
    int64_t rateDenominator;
    int64_t durationNumerator;
    int64_t durationDenominator;
    // Absent when both are 0.
    int64_t alternateNumerator;
    int64_t alternateDenominator;
    bool interlaced;
    std::optional<TC::Case> timecodeRate;
    std::optional<TC::Case> dropTimecodeRate;
};

// Indexed by VideoFrameRate::Case; fractions as written, not reduced.
constexpr std::array<Row, VideoFrameRate::caseCount> rows{{
    {"23.98p", 24000, 1001, 1001, 24000, 1000, 23976, false, TC::fps23_976, std::nullopt},
    {"24p", 24, 1, 100, 2400, 0, 0, false, TC::fps24, std::nullopt},
    {"25p", 25, 1, 100, 2500, 0, 0, false, TC::fps25, std::nullopt},
    {"25i", 25, 1, 200, 5000, 0, 0, true, TC::fps25, std::nullopt},
    {"29.97p", 30000, 1001, 1001, 30000, 1000, 29970, false, TC::fps29_97, TC::fps29_97d},
    {"29.97i", 30000, 1001, 2002, 60000, 2000, 59940, true, TC::fps29_97, TC::fps29_97d},
    {"30p", 30, 1, 100, 3000, 0, 0, false, TC::fps30, TC::fps30d},
    {"47.95p", 48000, 1001, 1001, 48000, 1000, 47952, false, TC::fps47_952, std::nullopt},
    {"48p", 48, 1, 100, 4800, 0, 0, false, TC::fps48, std::nullopt},
    {"50p", 50, 1, 100, 5000, 0, 0, false, TC::fps50, std::nullopt},
    {"50i", 50, 1, 200, 10000, 0, 0, true, TC::fps50, std::nullopt},
    {"59.94p", 60000, 1001, 1001, 60000, 1000, 59940, false, TC::fps59_94, TC::fps59_94d},
    {"59.94i", 60000, 1001, 2002, 120000, 2000, 119880, true, TC::fps59_94, TC::fps59_94d},
    {"60p", 60, 1, 100, 6000, 0, 0, false, TC::fps60, TC::fps60d},
    {"60i", 60, 1, 200, 12000, 0, 0, true, TC::fps60, std::nullopt},
    {"90p", 90, 1, 100, 9000, 0, 0, false, TC::fps90, std::nullopt},
    {"95.9p", 96000, 1001, 1001, 96000, 1000, 95904, false, TC::fps95_904, std::nullopt},
    {"96p", 96, 1, 100, 9600, 0, 0, false, TC::fps96, std::nullopt},
    {"100p", 100, 1, 100, 10000, 0, 0, false, TC::fps100, std::nullopt},
    {"119.88p", 120000, 1001, 1001, 120000, 1000, 119880, false, TC::fps119_88, TC::fps119_88d},
    {"120p", 120, 1, 100, 12000, 0, 0, false, TC::fps120, std::nullopt},
}};

const Row &row(VideoFrameRate rate) {
    return rows[rate.id()];
}

std::optional<VideoFrameRate> firstInterlaced(const std::vector<VideoFrameRate> &rates,
                                              bool interlaced) {
    const auto found = std::ranges::find_if(
        rates, [interlaced](VideoFrameRate rate) { return rate.isInterlaced() == interlaced; });
    return found == rates.end() ? std::nullopt : std::optional(*found);
}

std::optional<VideoFrameRate> matchFps(double fps, bool interlaced, int places) {
    const auto firstWhere = [interlaced](auto &&matches) -> std::optional<VideoFrameRate> {
        for (VideoFrameRate rate : VideoFrameRate::allCases()) {
            if (matches(rate.fps()) && rate.isInterlaced() == interlaced) {
                return rate;
            }
        }
        return std::nullopt;
    };
    const double wantedTruncated = truncated(fps, places);
    if (auto found =
            firstWhere([&](double value) { return truncated(value, places) == wantedTruncated; })) {
        return found;
    }
    constexpr auto halvesAway = FloatingPointRoundingRule::toNearestOrAwayFromZero;
    const double wantedRounded = rounded(fps, places, halvesAway);
    return firstWhere(
        [&](double value) { return rounded(value, places, halvesAway) == wantedRounded; });
}

} // namespace

const std::array<VideoFrameRate, VideoFrameRate::caseCount> &VideoFrameRate::allCases() {
    static constexpr std::array<VideoFrameRate, caseCount> cases{
        fps23_98p, fps24p, fps25p,   fps25i, fps29_97p, fps29_97i,  fps30p,
        fps47_95p, fps48p, fps50p,   fps50i, fps59_94p, fps59_94i,  fps60p,
        fps60i,    fps90p, fps95_9p, fps96p, fps100p,   fps119_88p, fps120p,
    };
    return cases;
}

std::optional<VideoFrameRate> VideoFrameRate::fromRawValue(std::string_view text) {
    for (VideoFrameRate rate : allCases()) {
        if (rate.rawValue() == text) {
            return rate;
        }
    }
    return std::nullopt;
}

std::optional<VideoFrameRate> VideoFrameRate::fromRate(const Fraction &rate, bool interlaced) {
    return firstInterlaced(filterRate(allCases(), rate), interlaced);
}

std::optional<VideoFrameRate> VideoFrameRate::fromRate(const MediaTime &rate, bool interlaced) {
    return fromRate(Fraction(rate), interlaced);
}

std::optional<VideoFrameRate> VideoFrameRate::fromFrameDuration(const Fraction &frameDuration,
                                                                bool interlaced) {
    return firstInterlaced(filterFrameDuration(allCases(), frameDuration), interlaced);
}

std::optional<VideoFrameRate> VideoFrameRate::fromFrameDuration(const MediaTime &frameDuration,
                                                                bool interlaced) {
    return fromFrameDuration(Fraction(frameDuration), interlaced);
}

std::optional<VideoFrameRate> VideoFrameRate::fromFps(double fps, bool interlaced, bool strict) {
    return matchFps(fps, interlaced, strict ? 3 : 1);
}

std::optional<VideoFrameRate> VideoFrameRate::fromFps(float fps, bool interlaced, bool) {
    return matchFps(static_cast<double>(fps), interlaced, 1);
}

std::string_view VideoFrameRate::rawValue() const {
    return row(*this).raw;
}

Fraction VideoFrameRate::rate() const {
    return Fraction(row(*this).rateNumerator, row(*this).rateDenominator);
}

Fraction VideoFrameRate::frameDuration() const {
    return Fraction(row(*this).durationNumerator, row(*this).durationDenominator);
}

std::optional<Fraction> VideoFrameRate::alternateFrameDuration() const {
    if (row(*this).alternateDenominator == 0) {
        return std::nullopt;
    }
    return Fraction(row(*this).alternateNumerator, row(*this).alternateDenominator);
}

bool VideoFrameRate::isInterlaced() const {
    return row(*this).interlaced;
}

std::optional<TimecodeFrameRate> VideoFrameRate::timecodeFrameRate(bool drop) const {
    const auto rate = drop ? row(*this).dropTimecodeRate : row(*this).timecodeRate;
    return rate ? std::optional<TimecodeFrameRate>(*rate) : std::nullopt;
}

} // namespace timecode
