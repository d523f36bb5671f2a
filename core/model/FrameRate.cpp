#include "core/model/FrameRate.h"

#include <cmath>

namespace tandrel {

namespace {

struct RateRow {
    std::string_view caseName;
    int64_t num;
    int64_t den;
    int nominal;
    bool drop;
    std::string_view text;
};

// Indexed by FrameRate::Case.
constexpr std::array<RateRow, 12> rows{{
    {"fps23_976", 24000, 1001, 24, false, "23.976"},
    {"fps24", 24, 1, 24, false, "24"},
    {"fps25", 25, 1, 25, false, "25"},
    {"fps29_97df", 30000, 1001, 30, true, "29.97d"},
    {"fps29_97ndf", 30000, 1001, 30, false, "29.97"},
    {"fps30", 30, 1, 30, false, "30"},
    {"fps47_952", 48000, 1001, 48, false, "47.952"},
    {"fps48", 48, 1, 48, false, "48"},
    {"fps50", 50, 1, 50, false, "50"},
    {"fps59_94df", 60000, 1001, 60, true, "59.94d"},
    {"fps59_94ndf", 60000, 1001, 60, false, "59.94"},
    {"fps60", 60, 1, 60, false, "60"},
}};

const RateRow &row(FrameRate rate) {
    return rows[rate.value()];
}

} // namespace

const std::array<FrameRate, 12> FrameRate::allCases{
    fps23_976, fps24, fps25, fps29_97df, fps29_97ndf, fps30,
    fps47_952, fps48, fps50, fps59_94df, fps59_94ndf, fps60,
};

double FrameRate::fps() const {
    return static_cast<double>(row(*this).num) / static_cast<double>(row(*this).den);
}

FrameRate::Rational FrameRate::rational() const {
    return {row(*this).num, row(*this).den};
}

int FrameRate::nominalFPS() const {
    return row(*this).nominal;
}

bool FrameRate::isDropFrame() const {
    return row(*this).drop;
}

int32_t FrameRate::fcpTimescale() const {
    return static_cast<int32_t>(row(*this).num);
}

std::string_view FrameRate::timecodeRateString() const {
    return row(*this).text;
}

std::string_view FrameRate::caseName() const {
    return row(*this).caseName;
}

std::optional<FrameRate> FrameRate::from(int64_t sampleDuration, int32_t timescale) {
    double r = 1.0 / (static_cast<double>(sampleDuration) / static_cast<double>(timescale));
    r = std::round(r * 100.0) / 100.0;
    // NaN fails every comparison below and falls through to nothing.
    if (r >= 23.97 && r <= 23.98)
        return FrameRate::fps23_976;
    if (r == 24.0)
        return FrameRate::fps24;
    if (r == 25.0)
        return FrameRate::fps25;
    if (r >= 29.96 && r <= 29.98)
        return FrameRate::fps29_97ndf;
    if (r == 30.0)
        return FrameRate::fps30;
    if (r >= 47.94 && r <= 47.96)
        return FrameRate::fps47_952;
    if (r == 48.0)
        return FrameRate::fps48;
    if (r == 50.0)
        return FrameRate::fps50;
    if (r >= 59.93 && r <= 59.95)
        return FrameRate::fps59_94ndf;
    if (r == 60.0)
        return FrameRate::fps60;
    return std::nullopt;
}

void to_json(Json &json, const FrameRate &rate) {
    json = Json::object();
    json[std::string(rate.caseName())] = Json::object();
}

void from_json(const Json &json, FrameRate &rate) {
    if (!json.is_object()) {
        throw DecodingError(DecodingError::Kind::typeMismatch,
                            "Expected to decode a frame rate object.");
    }
    std::optional<FrameRate> found;
    int caseKeys = 0;
    for (const FrameRate candidate : FrameRate::allCases) {
        if (json.contains(std::string(candidate.caseName()))) {
            ++caseKeys;
            found = candidate;
        }
    }
    if (caseKeys != 1) {
        throw DecodingError(DecodingError::Kind::typeMismatch,
                            "Invalid number of keys found, expected one.");
    }
    if (!json.at(std::string(found->caseName())).is_object()) {
        throw DecodingError(DecodingError::Kind::typeMismatch,
                            "Expected to decode a keyed container for the rate case.");
    }
    rate = *found;
}

} // namespace tandrel
