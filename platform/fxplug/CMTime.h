#pragma once

#include <cstdint>

namespace platform {

// A media time as an effect host passes it: value ÷ timescale seconds, with flags and an
// epoch. Only a time with the valid flag and a positive timescale is a number of seconds.
struct CMTime {
    static constexpr uint32_t flagValid = 1u << 0;
    static constexpr uint32_t flagHasBeenRounded = 1u << 1;
    static constexpr uint32_t flagPositiveInfinity = 1u << 2;
    static constexpr uint32_t flagNegativeInfinity = 1u << 3;
    static constexpr uint32_t flagIndefinite = 1u << 4;

    int64_t value = 0;
    int32_t timescale = 0;
    uint32_t flags = 0;
    int64_t epoch = 0;

    // A valid time of value ÷ timescale seconds.
    static constexpr CMTime make(int64_t value, int32_t timescale) {
        return {value, timescale, flagValid, 0};
    }

    constexpr bool isValid() const { return (flags & flagValid) != 0; }
};

} // namespace platform
