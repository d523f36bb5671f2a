#include "core/model/ElementPlacement.h"

#include <gtest/gtest.h>

#include <limits>

namespace tandrel {
namespace {

// One rule in two precisions: the effect's pixels as floats, the preview's points as doubles.
template <typename T> class ElementPlacementTest : public ::testing::Test {};
using Precisions = ::testing::Types<float, double>;
TYPED_TEST_SUITE(ElementPlacementTest, Precisions);

TYPED_TEST(ElementPlacementTest, KeepsTheBoxInsideTheFrameAndWhenConstrainedTheVisiblePicture) {
    using Placement = ElementPlacement<TypeParam>;
    // A 1920 × 1080 frame with a 2.39 crop: the visible picture is 1920 × 800 from y 140.
    const typename Placement::Rect visible{0, 140, 1920, 800};
    struct Case {
        const char *name;
        double posX;
        double posY;
        TypeParam width;
        TypeParam height;
        bool constrain;
        TypeParam left;
        TypeParam bottom;
    };
    const Case cases[] = {
        {"inside", 0.25, 0.5, 200, 40, false, 480, 540},
        {"across the right edge", 0.9, 0.5, 926, 40, false, 1920 - 926, 540},
        {"across the left edge", -0.2, 0.5, 200, 40, false, 0, 540},
        {"across the top edge", 0.25, 1.2, 200, 100, false, 480, 1080 - 100},
        {"across the bottom edge", 0.25, -0.3, 200, 40, false, 480, 0},
        {"in the band below the crop", 0.25, -0.1, 200, 40, false, 480, 60},
        {"constrained out of the band", 0.25, -0.1, 200, 40, true, 480, 140},
        {"constrained at the crop's top", 0.25, 0.99, 200, 40, true, 480, 140 + 800 - 40},
        {"wider than the frame", 0.3, 0.5, 2000, 40, false, 0, 540},
        {"wider than the picture, constrained", 0.3, 0.5, 2000, 40, true, 0, 540},
        {"taller than the frame", 0.3, 0.5, 200, 1200, false, 576, 0},
        {"beyond any float", 1e300, 0.5, 200, 40, false, 1720, 540},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto placed =
            Placement::placed(visible, c.posX, c.posY, c.width, c.height, c.constrain, 1920, 1080);
        EXPECT_NEAR(placed.x, c.left, 1e-3);
        EXPECT_NEAR(placed.y, c.bottom, 1e-3);
    }
}

} // namespace
} // namespace tandrel
