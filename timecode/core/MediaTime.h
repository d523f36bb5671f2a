#pragma once

#include <compare>
#include <cstdint>

namespace timecode {

// A media time: a value over a timescale (units per second) with flags, as media frameworks
// carry it. A numeric time has the valid flag and a positive timescale; the infinities and the
// indefinite time are valid but not numeric.
struct MediaTime {
    enum Flags : uint32_t {
        valid = 1u << 0,
        hasBeenRounded = 1u << 1,
        positiveInfinity = 1u << 2,
        negativeInfinity = 1u << 3,
        indefinite = 1u << 4,
    };

    int64_t value = 0;
    int32_t timescale = 0;
    uint32_t flags = 0;

    // The invalid time.
    constexpr MediaTime() = default;
    // A numeric time; a timescale that is not positive makes the time invalid.
    constexpr MediaTime(int64_t value, int32_t timescale)
        : value(value), timescale(timescale), flags(timescale > 0 ? uint32_t{valid} : 0u) {}

    static constexpr MediaTime invalidTime() { return MediaTime(); }
    static constexpr MediaTime zero() { return MediaTime(0, 1); }
    static constexpr MediaTime indefiniteTime() { return special(indefinite); }
    static constexpr MediaTime positiveInfinityTime() { return special(positiveInfinity); }
    static constexpr MediaTime negativeInfinityTime() { return special(negativeInfinity); }

    constexpr bool isValid() const { return (flags & valid) != 0; }
    constexpr bool isIndefinite() const { return isValid() && (flags & indefinite) != 0; }
    constexpr bool isPositiveInfinity() const {
        return isValid() && (flags & positiveInfinity) != 0;
    }
    constexpr bool isNegativeInfinity() const {
        return isValid() && (flags & negativeInfinity) != 0;
    }
    constexpr bool isNumeric() const {
        return isValid() && (flags & (indefinite | positiveInfinity | negativeInfinity)) == 0;
    }

    // value ÷ timescale; infinities as such, not-a-number for invalid and indefinite times.
    double seconds() const;

    // The media-framework order: negative infinity < numeric times (by exact value) <
    // indefinite < positive infinity < invalid; equal kinds are equal (1/2 equals 2/4).
    friend std::strong_ordering operator<=>(const MediaTime &lhs, const MediaTime &rhs);
    friend bool operator==(const MediaTime &lhs, const MediaTime &rhs) {
        return (lhs <=> rhs) == 0;
    }

private:
    static constexpr MediaTime special(uint32_t kind) {
        MediaTime time;
        time.flags = valid | kind;
        return time;
    }
};

} // namespace timecode
