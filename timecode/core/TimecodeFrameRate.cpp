#include "timecode/core/TimecodeFrameRate.h"

#include "timecode/core/FrameRateProtocol.h"
#include "timecode/core/VideoFrameRate.h"

#include <algorithm>

namespace timecode {

namespace {

using Video = VideoFrameRate;

struct Row {
    std::string_view raw;
    std::string_view verbose;
    int64_t rateNumerator;
    int64_t rateDenominator;
    int64_t durationNumerator;
    int64_t durationDenominator;
    // 0 when the rate has no alternate frame duration.
    int64_t alternateDenominator;
    int maxFrames;
    bool drop;
    int droppedPerMinute;
    double elapsedFramesRate;
    int64_t framesIn24Hours;
    std::optional<Video::Case> progressive;
    std::optional<Video::Case> interlaced;
};

// Indexed by TimecodeFrameRate::Case. The alternate frame duration is always 1000 over the
// alternate denominator. 24.98 has no video rate of its value; 25 maps to 25p or 25i as asked.
constexpr std::array<Row, TimecodeFrameRate::caseCount> rows{{
    {"23.976", "23.976 fps", 24000, 1001, 1001, 24000, 23976, 24, false, 0, 24, 2073600,
     Video::fps23_98p, std::nullopt},
    {"24", "24 fps", 24, 1, 100, 2400, 0, 24, false, 0, 24, 2073600, Video::fps24p, std::nullopt},
    {"24.98", "24.98 fps", 25000, 1001, 1001, 25000, 24980, 25, false, 0, 25, 2160000, std::nullopt,
     std::nullopt},
    {"25", "25 fps", 25, 1, 100, 2500, 0, 25, false, 0, 25, 2160000, Video::fps25p, Video::fps25i},
    {"29.97", "29.97 fps", 30000, 1001, 1001, 30000, 29970, 30, false, 0, 30, 2592000,
     Video::fps29_97p, Video::fps29_97i},
    {"29.97d", "29.97 fps drop", 30000, 1001, 1001, 30000, 29970, 30, true, 2, 29.97, 2589408,
     Video::fps29_97p, Video::fps29_97i},
    {"30", "30 fps", 30, 1, 100, 3000, 0, 30, false, 0, 30, 2592000, Video::fps30p, std::nullopt},
    {"30d", "30 fps drop", 30, 1, 100, 3000, 0, 30, true, 2, 29.97, 2589408, Video::fps30p,
     std::nullopt},
    {"47.952", "47.952 fps", 48000, 1001, 1001, 48000, 47952, 48, false, 0, 48, 4147200,
     Video::fps47_95p, std::nullopt},
    {"48", "48 fps", 48, 1, 100, 4800, 0, 48, false, 0, 48, 4147200, Video::fps48p, std::nullopt},
    {"50", "50 fps", 50, 1, 100, 5000, 0, 50, false, 0, 50, 4320000, Video::fps50p, Video::fps50i},
    {"59.94", "59.94 fps", 60000, 1001, 1001, 60000, 59940, 60, false, 0, 60, 5184000,
     Video::fps59_94p, std::nullopt},
    {"59.94d", "59.94 fps drop", 60000, 1001, 1001, 60000, 59940, 60, true, 4, 59.94, 5178816,
     Video::fps59_94p, std::nullopt},
    {"60", "60 fps", 60, 1, 100, 6000, 0, 60, false, 0, 60, 5184000, Video::fps60p, Video::fps60i},
    {"60d", "60 fps drop", 60, 1, 100, 6000, 0, 60, true, 4, 59.94, 5178816, Video::fps60p,
     std::nullopt},
    {"90", "90 fps", 90, 1, 100, 9000, 0, 90, false, 0, 90, 7776000, Video::fps90p, std::nullopt},
    {"95.904", "95.904 fps", 96000, 1001, 1001, 96000, 95904, 96, false, 0, 96, 8294400,
     Video::fps95_9p, std::nullopt},
    {"96", "96 fps", 96, 1, 100, 9600, 0, 96, false, 0, 96, 8294400, Video::fps96p, std::nullopt},
    {"100", "100 fps", 100, 1, 100, 10000, 0, 100, false, 0, 100, 8640000, Video::fps100p,
     std::nullopt},
    {"119.88", "119.88 fps", 120000, 1001, 1001, 120000, 119880, 120, false, 0, 120, 10368000,
     Video::fps119_88p, std::nullopt},
    {"119.88d", "119.88 fps drop", 120000, 1001, 1001, 120000, 119880, 120, true, 8, 119.88,
     10357632, Video::fps119_88p, std::nullopt},
    {"120", "120 fps", 120, 1, 100, 12000, 0, 120, false, 0, 120, 10368000, Video::fps120p,
     std::nullopt},
    {"120d", "120 fps drop", 120, 1, 100, 12000, 0, 120, true, 8, 119.88, 10357632, Video::fps120p,
     std::nullopt},
}};

const Row &row(TimecodeFrameRate rate) {
    return rows[rate.id()];
}

std::vector<TimecodeFrameRate> ratesWhere(bool drop) {
    std::vector<TimecodeFrameRate> rates;
    for (TimecodeFrameRate rate : TimecodeFrameRate::allCases()) {
        if (rate.isDrop() == drop) {
            rates.push_back(rate);
        }
    }
    return rates;
}

std::optional<TimecodeFrameRate> firstWithDrop(const std::vector<TimecodeFrameRate> &rates,
                                               bool drop) {
    const auto found = std::ranges::find_if(
        rates, [drop](TimecodeFrameRate rate) { return rate.isDrop() == drop; });
    return found == rates.end() ? std::nullopt : std::optional(*found);
}

} // namespace

const std::array<TimecodeFrameRate, TimecodeFrameRate::caseCount> &TimecodeFrameRate::allCases() {
    static constexpr std::array<TimecodeFrameRate, caseCount> cases{
        fps23_976, fps24, fps24_98, fps25,     fps29_97,   fps29_97d, fps30,   fps30d,
        fps47_952, fps48, fps50,    fps59_94,  fps59_94d,  fps60,     fps60d,  fps90,
        fps95_904, fps96, fps100,   fps119_88, fps119_88d, fps120,    fps120d,
    };
    return cases;
}

const std::vector<TimecodeFrameRate> &TimecodeFrameRate::allDrop() {
    static const std::vector<TimecodeFrameRate> rates = ratesWhere(true);
    return rates;
}

const std::vector<TimecodeFrameRate> &TimecodeFrameRate::allNonDrop() {
    static const std::vector<TimecodeFrameRate> rates = ratesWhere(false);
    return rates;
}

std::optional<TimecodeFrameRate> TimecodeFrameRate::fromRawValue(std::string_view text) {
    for (TimecodeFrameRate rate : allCases()) {
        if (rate.rawValue() == text) {
            return rate;
        }
    }
    return std::nullopt;
}

std::optional<TimecodeFrameRate> TimecodeFrameRate::fromRate(const Fraction &rate, bool drop) {
    return firstWithDrop(filterRate(allCases(), rate), drop);
}

std::optional<TimecodeFrameRate> TimecodeFrameRate::fromRate(const MediaTime &rate, bool drop) {
    return fromRate(Fraction(rate), drop);
}

std::optional<TimecodeFrameRate> TimecodeFrameRate::fromFrameDuration(const Fraction &frameDuration,
                                                                      bool drop) {
    return firstWithDrop(filterFrameDuration(allCases(), frameDuration), drop);
}

std::optional<TimecodeFrameRate>
TimecodeFrameRate::fromFrameDuration(const MediaTime &frameDuration, bool drop) {
    return fromFrameDuration(Fraction(frameDuration), drop);
}

std::string_view TimecodeFrameRate::rawValue() const {
    return row(*this).raw;
}

std::string_view TimecodeFrameRate::stringValueVerbose() const {
    return row(*this).verbose;
}

Fraction TimecodeFrameRate::rate() const {
    return Fraction(row(*this).rateNumerator, row(*this).rateDenominator);
}

Fraction TimecodeFrameRate::frameDuration() const {
    return Fraction(row(*this).durationNumerator, row(*this).durationDenominator);
}

std::optional<Fraction> TimecodeFrameRate::alternateFrameDuration() const {
    if (row(*this).alternateDenominator == 0) {
        return std::nullopt;
    }
    return Fraction(1000, row(*this).alternateDenominator);
}

int TimecodeFrameRate::maxFrames() const {
    return row(*this).maxFrames;
}

bool TimecodeFrameRate::isDrop() const {
    return row(*this).drop;
}

double TimecodeFrameRate::framesDroppedPerMinute() const {
    return row(*this).droppedPerMinute;
}

double TimecodeFrameRate::frameRateForElapsedFramesCalculation() const {
    return row(*this).elapsedFramesRate;
}

double TimecodeFrameRate::frameRateForRealTimeCalculation() const {
    return rate().doubleValue();
}

int TimecodeFrameRate::numberOfDigits() const {
    return value_ >= fps119_88 ? 3 : 2;
}

int64_t TimecodeFrameRate::maxTotalFrames(TimecodeUpperLimit limit) const {
    return row(*this).framesIn24Hours * (limit == TimecodeUpperLimit::max100Days ? 100 : 1);
}

std::string_view TimecodeFrameRate::CompatibleGroup::description() const {
    constexpr std::string_view texts[] = {"NTSC Color", "NTSC Drop-Frame", "Whole",
                                          "NTSC Color Wall Time"};
    return texts[value_];
}

const std::vector<TimecodeFrameRate> &TimecodeFrameRate::CompatibleGroup::rates() const {
    // Built once, on first use; the language makes that safe under concurrent first use.
    static const std::array<std::vector<TimecodeFrameRate>, 4> table{{
        {fps23_976, fps24_98, fps29_97, fps47_952, fps59_94, fps95_904, fps119_88},
        {fps29_97d, fps59_94d, fps119_88d},
        {fps24, fps25, fps30, fps48, fps50, fps60, fps90, fps96, fps100, fps120},
        {fps30d, fps60d, fps120d},
    }};
    return table[value_];
}

TimecodeFrameRate::CompatibleGroup TimecodeFrameRate::compatibleGroup() const {
    for (CompatibleGroup group : CompatibleGroup::allCases()) {
        if (std::ranges::find(group.rates(), *this) != group.rates().end()) {
            return group;
        }
    }
    // Every rate is in one group.
    return CompatibleGroup::whole;
}

bool TimecodeFrameRate::isCompatible(TimecodeFrameRate other) const {
    return std::ranges::find(compatibleGroupRates(), other) != compatibleGroupRates().end();
}

TimecodeFrameRate::AAFMetadata TimecodeFrameRate::aafMetadata() const {
    return {rate().stringValue(), isDrop() ? "true" : "false", std::to_string(maxFrames())};
}

TimecodeFrameRate::FCPXMLMetadata TimecodeFrameRate::fcpXMLMetadata() const {
    return {frameDuration().fcpxmlStringValue(), isDrop() ? "DF" : "NDF"};
}

std::optional<VideoFrameRate> TimecodeFrameRate::videoFrameRate(bool interlaced) const {
    const auto video = interlaced ? row(*this).interlaced : row(*this).progressive;
    return video ? std::optional<VideoFrameRate>(*video) : std::nullopt;
}

} // namespace timecode
