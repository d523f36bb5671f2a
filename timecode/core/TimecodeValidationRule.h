#pragma once

#include <array>
#include <cstdint>

namespace timecode {

// How a value set from a source is brought into range: the total clamped into the expressible
// range, each component clamped into its own range, the total wrapped around the range, or the
// components kept as they are. Known in a timecode as `Timecode::ValidationRule`.
class TimecodeValidationRule {
public:
    enum Case : uint8_t { clamping, clampingComponents, wrapping, allowingInvalid };

    // Built once; a reference, so that begin() and end() come from one array.
    static const std::array<TimecodeValidationRule, 4> &allCases();

    constexpr TimecodeValidationRule(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

private:
    Case value_;
};

inline const std::array<TimecodeValidationRule, 4> &TimecodeValidationRule::allCases() {
    static constexpr std::array<TimecodeValidationRule, 4> cases{clamping, clampingComponents,
                                                                 wrapping, allowingInvalid};
    return cases;
}

} // namespace timecode
