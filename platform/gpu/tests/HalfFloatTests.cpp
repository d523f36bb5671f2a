#include "platform/gpu/HalfFloat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace platform {
namespace {

TEST(HalfFloat, RoundsToNearestEvenAtEveryBoundary) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float value;
        std::uint16_t expected;
    };
    const Case cases[] = {
        {0.0f, 0x0000},
        {-0.0f, 0x8000},
        {1.0f, 0x3c00},
        {-2.0f, 0xc000},
        {0.5f, 0x3800},
        {65504.0f, 0x7bff}, // largest half
        {65519.0f, 0x7bff}, // below the halfway point to 65536
        {65520.0f, 0x7c00}, // halfway: ties to even, which is infinity
        {1e9f, 0x7c00},
        {-1e9f, 0xfc00},
        {inf, 0x7c00},
        {-inf, 0xfc00},
        {0x1p-14f, 0x0400}, // smallest normal
        {0x1p-24f, 0x0001}, // smallest subnormal
        {0x1p-25f, 0x0000}, // halfway to it: ties to even zero
        {-0x1p-25f, 0x8000},
        {0x1.0002p-25f, 0x0001}, // just above halfway
        {0x1.8p-24f, 0x0002},    // 1.5 steps: ties to even 2
        {0x1.4p-23f, 0x0002},    // 2.5 steps: ties to even 2
        {0x1p-30f, 0x0000},
        {0x1.ff8p-15f, 0x03ff},       // largest subnormal
        {0x1.ffcp-15f, 0x0400},       // and a half step more: ties up into the normals
        {1.0f + 0x1p-11f, 0x3c00},    // halfway between 1 and the next half: even 1
        {1.0f + 0x3p-11f, 0x3c02},    // halfway above an odd mantissa: up to even
        {1.0f + 0x1.02p-11f, 0x3c01}, // just above halfway
        {2047.5f, 0x6800},            // halfway above the odd 2047: up to 2048
    };
    for (const Case &c : cases) {
        EXPECT_EQ(floatToHalf(c.value), c.expected) << std::hexfloat << c.value;
    }
}

TEST(HalfFloat, EveryHalfRoundTripsExactly) {
    for (unsigned bits = 0; bits <= 0xffff; ++bits) {
        const auto half = static_cast<std::uint16_t>(bits);
        const float value = halfToFloat(half);
        const bool nan = (bits & 0x7c00) == 0x7c00 && (bits & 0x03ff) != 0;
        if (nan) {
            ASSERT_TRUE(std::isnan(value)) << bits;
            const std::uint16_t back = floatToHalf(value);
            ASSERT_EQ(back & 0x7e00, 0x7e00) << bits; // still a quiet NaN, never infinity
            ASSERT_EQ(back & 0x8000, bits & 0x8000) << bits;
        } else {
            ASSERT_EQ(floatToHalf(value), half) << bits;
        }
    }
    EXPECT_EQ(halfToFloat(0x0001), 0x1p-24f);
    EXPECT_EQ(halfToFloat(0x7bff), 65504.0f);
    EXPECT_EQ(halfToFloat(0xfc00), -std::numeric_limits<float>::infinity());
}

} // namespace
} // namespace platform
