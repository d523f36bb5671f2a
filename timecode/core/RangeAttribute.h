#pragma once

#include <array>
#include <cstdint>

namespace timecode {

// Which part of a media time range a timecode is read from.
class RangeAttribute {
public:
    enum Case : uint8_t { start, end, duration };

    static constexpr std::array<Case, 3> allCases{start, end, duration};

    constexpr RangeAttribute(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }
    // Identity is the case itself.
    constexpr Case id() const { return value_; }

private:
    Case value_;
};

} // namespace timecode
