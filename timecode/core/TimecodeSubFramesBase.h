#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace timecode {

// How many sub-frames make one frame: 80, 100 or 4 (quarter frames). Known in a timecode as
// `Timecode::SubFramesBase`; coded as its raw integer.
class TimecodeSubFramesBase {
public:
    enum Case : uint8_t { max80SubFrames, max100SubFrames, quarterFrames };

    // Built once; a reference, so that begin() and end() come from one array.
    static const std::array<TimecodeSubFramesBase, 3> &allCases();
    static std::optional<TimecodeSubFramesBase> fromRawValue(int rawValue) {
        for (TimecodeSubFramesBase base : allCases()) {
            if (base.rawValue() == rawValue) {
                return base;
            }
        }
        return std::nullopt;
    }

    constexpr TimecodeSubFramesBase(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }
    constexpr Case id() const { return value_; }

    // Sub-frames per frame: the divisor of a sub-frame count.
    constexpr int rawValue() const {
        return value_ == quarterFrames ? 4 : (value_ == max80SubFrames ? 80 : 100);
    }
    // The largest sub-frame value: 79, 99 or 3.
    constexpr int maxSubFramesExpressible() const { return rawValue() - 1; }
    // Digits of the sub-frames field: 2, 2 or 1.
    constexpr int numberOfDigits() const { return value_ == quarterFrames ? 1 : 2; }
    std::string_view description() const;
    std::string_view stringValueVerbose() const;

    // A sub-frame value re-expressed in another base, truncated toward zero (25 at base 100 is
    // 20 at base 80 and 1 in quarter frames). Computed exactly in integers.
    int64_t convert(int64_t subFrames, TimecodeSubFramesBase to) const;

private:
    Case value_;
};

inline const std::array<TimecodeSubFramesBase, 3> &TimecodeSubFramesBase::allCases() {
    static constexpr std::array<TimecodeSubFramesBase, 3> cases{max80SubFrames, max100SubFrames,
                                                                quarterFrames};
    return cases;
}

} // namespace timecode

template <> struct std::hash<timecode::TimecodeSubFramesBase> {
    std::size_t operator()(timecode::TimecodeSubFramesBase base) const noexcept {
        return std::hash<int>{}(base.rawValue());
    }
};
