#include "plugin/OverlayGeometry.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using platform::FxImageOrigin;

TEST(OverlayGeometry, VisiblePictureIsTheCentredRectangleOfThePresetsRatio) {
    const auto scope = OverlayGeometry::visiblePicture(1920, 1080, 2.39);
    EXPECT_EQ(scope.x, 0);
    EXPECT_EQ(scope.width, 1920);
    EXPECT_NEAR(scope.height, 803.35, 0.01);
    EXPECT_NEAR(scope.y, 138.33, 0.01);
    EXPECT_NEAR(OverlayGeometry::elementCorner(scope, 0.5, 0.05, 10, 10, false).y, 178.5, 0.05);

    const auto pillarbox = OverlayGeometry::visiblePicture(1920, 1080, 4.0 / 3);
    EXPECT_FLOAT_EQ(pillarbox.x, 240);
    EXPECT_FLOAT_EQ(pillarbox.width, 1440);
    EXPECT_EQ(pillarbox.height, 1080);

    for (std::optional<double> whole :
         {std::optional<double>(), std::optional<double>(0.0), std::optional<double>(-1.0)}) {
        const auto frame = OverlayGeometry::visiblePicture(1920, 1080, whole);
        EXPECT_EQ(frame.x, 0);
        EXPECT_EQ(frame.y, 0);
        EXPECT_EQ(frame.width, 1920);
        EXPECT_EQ(frame.height, 1080);
    }
    // A ratio beyond the float range leaves a picture with no height, not a fault.
    EXPECT_EQ(OverlayGeometry::elementCorner(OverlayGeometry::visiblePicture(1920, 1080, 1e300),
                                             0.5, 0.5, 10, 10, true)
                  .y,
              540);
}

TEST(OverlayGeometry, ElementsStayInsideTheVisiblePictureOrTheFrame) {
    const OverlayGeometry::Rect frame{0, 0, 1920, 1080};
    struct Case {
        double posX;
        int tw;
        bool constrain;
        float left; // of the drawn quad
    };
    const Case cases[] = {
        {0.25, 200, false, 480},
        {0.98, 200, true, 1720},  // right edge on the visible picture's right edge
        {0.98, 200, false, 1720}, // kept in the frame by the quad
        {-0.5, 200, true, 0},
        {-0.5, 200, false, 0},
        {0.5, 2000, true, 0}, // wider than the picture: from its left edge
        {0.5, 2000, false, 0},
        {1e300, 200, false, 1720},
    };
    for (const Case &c : cases) {
        const auto corner =
            OverlayGeometry::elementCorner(frame, c.posX, 0.5, c.tw, 40, c.constrain);
        if (c.constrain && c.posX == 0.98) {
            EXPECT_NEAR((corner.x - frame.x) / frame.width, 1 - 200.0 / 1920, 1e-6);
        }
        const auto quad =
            OverlayGeometry::quad(corner, c.tw, 40, 1920, 1080, FxImageOrigin::topLeft);
        EXPECT_FLOAT_EQ(quad[1].position[0], 2 * c.left / 1920 - 1)
            << c.posX << " " << c.tw << " " << c.constrain;
    }
}

TEST(OverlayGeometry, QuadsReadUprightForEitherRowOrder) {
    // The status text on 720 × 480: 5 % in, its top edge on the frame's top edge.
    const auto corner = OverlayGeometry::statusCorner(720, 480, 300, 40);
    EXPECT_FLOAT_EQ(corner.x, 36);
    EXPECT_FLOAT_EQ(corner.y, 440);
    EXPECT_FLOAT_EQ(OverlayGeometry::statusCorner(720, 480, 800, 500).x, 0);
    EXPECT_FLOAT_EQ(OverlayGeometry::statusCorner(720, 480, 800, 500).y, 0);

    // (x, y | u, v) of: far right, far left, near right, near left.
    const auto expectQuad = [](const std::array<TandrelVertex2D, 4> &quad,
                               const float(&expected)[4][4]) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(quad[i].position[0], expected[i][0]) << i;
            EXPECT_FLOAT_EQ(quad[i].position[1], expected[i][1]) << i;
            EXPECT_EQ(quad[i].textureCoordinate[0], expected[i][2]) << i;
            EXPECT_EQ(quad[i].textureCoordinate[1], expected[i][3]) << i;
        }
    };
    const float xL = 2 * 36.0f / 720 - 1;
    const float xR = 2 * 336.0f / 720 - 1;
    const float edge = 1 - 80.0f / 480;
    // Rows top first: the quad hugs clip-space y = 1, the texture's first row (v 0) on top.
    expectQuad(OverlayGeometry::quad(corner, 300, 40, 720, 480, FxImageOrigin::topLeft),
               {{xR, edge, 1, 1}, {xL, edge, 0, 1}, {xR, 1, 1, 0}, {xL, 1, 0, 0}});
    // Rows bottom first: the picture's top is the last row, y = -1, and the texture flips.
    expectQuad(OverlayGeometry::quad(corner, 300, 40, 720, 480, FxImageOrigin::bottomLeft),
               {{xR, -1, 1, 0}, {xL, -1, 0, 0}, {xR, -edge, 1, 1}, {xL, -edge, 0, 1}});
}

} // namespace
} // namespace tandrel
