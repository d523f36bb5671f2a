#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace timecode {

// How far a timecode may run: 24 hours (days must be 0) or 100 days (days 0 to 99). Known in a
// timecode as `Timecode::UpperLimit`; coded as its raw text.
class TimecodeUpperLimit {
public:
    enum Case : uint8_t { max24Hours, max100Days };

    // Built once; a reference, so that begin() and end() come from one array.
    static const std::array<TimecodeUpperLimit, 2> &allCases();
    static std::optional<TimecodeUpperLimit> fromRawValue(std::string_view rawValue) {
        for (TimecodeUpperLimit limit : allCases()) {
            if (limit.rawValue() == rawValue) {
                return limit;
            }
        }
        return std::nullopt;
    }

    constexpr TimecodeUpperLimit(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }
    constexpr Case id() const { return value_; }

    constexpr std::string_view rawValue() const {
        return value_ == max24Hours ? "24 hours" : "100 days";
    }
    // The largest days component allowed.
    constexpr int64_t maxDays() const { return value_ == max24Hours ? 0 : 99; }

private:
    Case value_;
};

inline const std::array<TimecodeUpperLimit, 2> &TimecodeUpperLimit::allCases() {
    static constexpr std::array<TimecodeUpperLimit, 2> cases{max24Hours, max100Days};
    return cases;
}

} // namespace timecode

template <> struct std::hash<timecode::TimecodeUpperLimit> {
    std::size_t operator()(timecode::TimecodeUpperLimit limit) const noexcept {
        return std::hash<int>{}(static_cast<int>(limit.id()));
    }
};
