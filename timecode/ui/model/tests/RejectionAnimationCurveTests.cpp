#include "timecode/ui/model/RejectionAnimationCurve.h"

#include <gtest/gtest.h>

#include <cmath>

namespace timecode {
namespace {

using Curve = RejectionAnimationCurve;
using Animation = Curve::RejectionAnimation;

TEST(RejectionAnimationCurve, ShakeJumpsThenSpringsBackToRest) {
    EXPECT_DOUBLE_EQ(Curve::shakeOffset(0), 5.0);
    EXPECT_EQ(Curve::shakeOffset(-0.01), 0);
    // At rest within a second, and nothing after.
    const double duration = Curve::duration(Animation::shake);
    EXPECT_GT(duration, 0.5);
    EXPECT_LT(duration, 1.5);
    EXPECT_EQ(Curve::shakeOffset(duration), 0);
    // A light damping overshoots past the rest position: the view swings to the left once.
    double lowest = 0;
    for (double t = 0; t < duration; t += 0.001) {
        lowest = std::min(lowest, Curve::shakeOffset(t));
        EXPECT_LE(std::abs(Curve::shakeOffset(t)), 5.0 * 1.03);
    }
    EXPECT_LT(lowest, -2.0);
    // It starts at rest speed: the offset barely moves in the first millisecond.
    EXPECT_NEAR(Curve::shakeOffset(0.001), 5.0, 0.01);
    // A quarter of the undamped period (0.05 s) in, it has fallen most of the way.
    EXPECT_LT(Curve::shakeOffset(0.05), 1.5);
}

TEST(RejectionAnimationCurve, PulseFadesLinearly) {
    EXPECT_DOUBLE_EQ(Curve::pulseBrightness(0), 0.7);
    EXPECT_NEAR(Curve::pulseBrightness(0.04), 0.35, 1e-12);
    EXPECT_EQ(Curve::pulseBrightness(0.08), 0);
    EXPECT_EQ(Curve::pulseBrightness(1), 0);
    EXPECT_DOUBLE_EQ(Curve::duration(Animation::pulse), 0.08);
}

} // namespace
} // namespace timecode
