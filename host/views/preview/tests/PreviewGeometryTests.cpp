#include "host/views/preview/PreviewGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tandrel {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

void expectRect(const QRectF &actual, double x, double y, double width, double height) {
    EXPECT_NEAR(actual.x(), x, 0.01);
    EXPECT_NEAR(actual.y(), y, 0.01);
    EXPECT_NEAR(actual.width(), width, 0.01);
    EXPECT_NEAR(actual.height(), height, 0.01);
}

TEST(PreviewGeometry, FitsTheFrameIntoTheCanvasAtTheTimelinesAspect) {
    struct Case {
        const char *name;
        QSizeF canvas;
        std::optional<Size> resolution;
        QRectF frame;
    };
    const Case cases[] = {
        {"wider canvas, no timeline: full height, centred",
         {1000, 400},
         {},
         {144.44, 0, 711.11, 400}},
        {"an exact 16:9 tie takes full width", {800, 450}, {}, {0, 0, 800, 450}},
        {"portrait timeline", {800, 450}, Size{1080, 1920}, {273.44, 0, 253.125, 450}},
        {"taller canvas: letterbox", {800, 600}, Size{1920, 1080}, {0, 75, 800, 450}},
        {"a zero width counts as no resolution", {800, 450}, Size{0, 1080}, {0, 0, 800, 450}},
        {"a zero height counts as no resolution", {800, 450}, Size{1920, 0}, {0, 0, 800, 450}},
        {"a negative side counts as no resolution", {800, 450}, Size{-4, -3}, {0, 0, 800, 450}},
        {"a height not a number counts as none", {800, 450}, Size{1920, nan}, {0, 0, 800, 450}},
        {"a collapsed canvas compares as 1 point high", {100, 0.5}, {}, {49.56, 0, 0.889, 0.5}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QRectF frame = PreviewGeometry(c.resolution).fittedCanvasRect(c.canvas);
        expectRect(frame, c.frame.x(), c.frame.y(), c.frame.width(), c.frame.height());
    }
}

TEST(PreviewGeometry, CentresTheVisiblePictureInTheFrame) {
    const QRectF frame(0, 0, 800, 450);
    const PreviewGeometry noTimeline(std::nullopt);
    expectRect(noTimeline.visibleRect(frame, 2.39), 0, 57.64, 800, 334.73);
    expectRect(noTimeline.visibleRect(frame, 4.0 / 3.0), 100, 0, 600, 450);
    for (const std::optional<double> none :
         {std::optional<double>(), std::optional(0.0), std::optional(-1.5), std::optional(nan)}) {
        EXPECT_TRUE(PreviewGeometry::identical(noTimeline.visibleRect(frame, none), frame));
    }
    // The frame's own ratio takes the full-width branch and gives the frame itself, so the
    // canvas draws no outline.
    EXPECT_TRUE(PreviewGeometry::identical(noTimeline.visibleRect(frame, 16.0 / 9.0), frame));
    // The decision follows the timeline's aspect, and the crop sits inside the fitted frame.
    const PreviewGeometry square(Size{1080, 1080});
    const QRectF squareFrame = square.fittedCanvasRect({800, 450});
    expectRect(square.visibleRect(squareFrame, 2.39), 175, 130.86, 450, 188.28);
}

TEST(PreviewGeometry, ScalesByTheWholeFrameWhateverTheCrop) {
    const QRectF frame(0, 0, 960, 540);
    const PreviewGeometry hd(Size{1920, 1080});
    // A 4:3 crop is 720 points wide; chips still scale by the frame, as the plug-in sizes text
    // in frame pixels.
    EXPECT_DOUBLE_EQ(hd.scale(frame), 0.5);
    EXPECT_LT(hd.visibleRect(frame, 4.0 / 3.0).width(), frame.width());
    EXPECT_DOUBLE_EQ(PreviewGeometry(Size{3840, 2160}).scale(frame), 0.25);
    EXPECT_DOUBLE_EQ(PreviewGeometry(std::nullopt).scale(frame), 0.5);
    EXPECT_DOUBLE_EQ(PreviewGeometry(Size{0, 1080}).scale(frame), 0.5);
    EXPECT_DOUBLE_EQ(PreviewGeometry(Size{-3840, 2160}).scale(frame), 0.5);
}

TEST(PreviewGeometry, GridLinesSkipTheMiddleForTheCentreCross) {
    struct Case {
        int divisions;
        std::vector<double> inner; // fractions of both directions
        bool centre;
    };
    const Case cases[] = {
        {0, {}, false},          {1, {}, false},
        {2, {}, true},           {3, {1.0 / 3, 2.0 / 3}, false},
        {4, {0.25, 0.75}, true}, {8, {1.0 / 8, 2.0 / 8, 3.0 / 8, 5.0 / 8, 6.0 / 8, 7.0 / 8}, true},
    };
    const QRectF rect(100, 50, 600, 300);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.divisions);
        const PreviewGeometry::Grid grid = PreviewGeometry::gridOverlay(rect, c.divisions);
        ASSERT_EQ(grid.vertical.size(), c.inner.size());
        ASSERT_EQ(grid.horizontal.size(), c.inner.size());
        for (std::size_t i = 0; i < c.inner.size(); ++i) {
            EXPECT_EQ(grid.vertical[i],
                      QLineF(100 + 600 * c.inner[i], 50, 100 + 600 * c.inner[i], 350));
            EXPECT_EQ(grid.horizontal[i],
                      QLineF(100, 50 + 300 * c.inner[i], 700, 50 + 300 * c.inner[i]));
        }
        if (c.centre) {
            EXPECT_EQ(grid.centre,
                      (std::vector<QLineF>{{400, 50, 400, 350}, {100, 200, 700, 200}}));
        } else {
            EXPECT_TRUE(grid.centre.empty());
        }
    }
}

// A preset of three elements: a, b and c, and another preset after it.
class PreviewGeometryEdits : public ::testing::Test {
protected:
    PreviewGeometryEdits() {
        DisplayConfig preset;
        preset.elements = {element(0.5, 0.5), element(0.98, 0.2), element(0.1, 0.1)};
        presets = {preset, DisplayConfig()};
    }
    static BurnInElement element(double x, double y) {
        BurnInElement made(MetadataField::custom);
        made.posX = x;
        made.posY = y;
        return made;
    }
    Uuid id(std::size_t i) const { return presets[0].elements[i].id; }
    static std::pair<double, double> position(const std::vector<DisplayConfig> &list,
                                              std::size_t i) {
        return {list[0].elements[i].posX, list[0].elements[i].posY};
    }

    std::vector<DisplayConfig> presets;
};

TEST_F(PreviewGeometryEdits, ASelectedDragMovesTheSelectionAndFollowersStopAtTheEdge) {
    const auto moved =
        PreviewGeometry::committedPosition(presets, 0, {id(0), id(1)}, id(0), 0.05, -0.3);
    EXPECT_DOUBLE_EQ(position(moved, 0).first, 0.55);
    EXPECT_DOUBLE_EQ(position(moved, 0).second, 0.2);
    EXPECT_EQ(position(moved, 1), std::make_pair(1.0, 0.0));
    EXPECT_EQ(position(moved, 2), position(presets, 2));
}

TEST_F(PreviewGeometryEdits, CommitsMoveOnlyWhatTheyShould) {
    // An unselected element moves alone, even while others are selected.
    auto moved = PreviewGeometry::committedPosition(presets, 0, {id(0), id(1)}, id(2), 0.1, 0.1);
    EXPECT_EQ(position(moved, 0), position(presets, 0));
    EXPECT_DOUBLE_EQ(position(moved, 2).first, 0.2);
    // The dragged element itself is not clamped: its drag rules bounded the delta.
    moved = PreviewGeometry::committedPosition(presets, 0, {}, id(0), 0.7, -0.6);
    EXPECT_DOUBLE_EQ(position(moved, 0).first, 1.2);
    EXPECT_DOUBLE_EQ(position(moved, 0).second, -0.1);
    // Nothing applies: an index outside the list, an element gone, a delta not a number.
    EXPECT_EQ(PreviewGeometry::committedPosition(presets, 2, {}, id(0), 0.1, 0.1), presets);
    EXPECT_EQ(PreviewGeometry::committedPosition(presets, std::nullopt, {}, id(0), 0.1, 0.1),
              presets);
    EXPECT_EQ(PreviewGeometry::committedPosition(presets, 0, {}, Uuid::random(), 0.1, 0.1),
              presets);
    for (const double bad : {nan, inf, -inf}) {
        EXPECT_EQ(PreviewGeometry::committedPosition(presets, 0, {id(0), id(1)}, id(0), bad, 0),
                  presets);
        EXPECT_EQ(PreviewGeometry::committedPosition(presets, 0, {id(0), id(1)}, id(0), 0, bad),
                  presets);
    }
}

TEST_F(PreviewGeometryEdits, AutoClampWritesTheClampOfWhatIsStored) {
    // Inside -0.25…0.9 one way and 0…0.5 the other: the stored 0.98 is brought to 0.9 once;
    // asking again, as a second rectangle change or a second view would, changes nothing.
    const PreviewGeometry::Clamp clamp = [](double x, double y) {
        return std::make_pair(std::clamp(x, -0.25, 0.9), std::clamp(y, 0.0, 0.5));
    };
    const auto once = PreviewGeometry::autoClampedPosition(presets, 0, id(1), clamp);
    EXPECT_EQ(position(once, 1), std::make_pair(0.9, 0.2));
    EXPECT_EQ(PreviewGeometry::autoClampedPosition(once, 0, id(1), clamp), once);

    // What the clamp gives is stored as it is, outside 0…1 too.
    const auto outside = PreviewGeometry::autoClampedPosition(
        presets, 0, id(2), [](double, double y) { return std::make_pair(-0.25, y); });
    EXPECT_EQ(position(outside, 2), std::make_pair(-0.25, 0.1));
    // Rounding is not a correction; nor is a clamp that is not a number.
    EXPECT_EQ(
        PreviewGeometry::autoClampedPosition(
            presets, 0, id(2), [](double x, double y) { return std::make_pair(x + 5e-7, y); }),
        presets);
    EXPECT_EQ(PreviewGeometry::autoClampedPosition(
                  presets, 0, id(2), [](double, double y) { return std::make_pair(nan, y); }),
              presets);
    EXPECT_EQ(PreviewGeometry::autoClampedPosition(presets, 5, id(2), clamp), presets);
}

TEST_F(PreviewGeometryEdits, TheCropRatioIsWrittenToThePresetAtTheIndex) {
    auto cropped = PreviewGeometry::withCropAspectRatio(presets, 1, 2.39);
    EXPECT_EQ(cropped[1].visiblePictureAspectRatio, 2.39);
    EXPECT_EQ(cropped[0], presets[0]);
    EXPECT_EQ(
        PreviewGeometry::withCropAspectRatio(cropped, 1, std::nullopt)[1].visiblePictureAspectRatio,
        std::nullopt);
    EXPECT_EQ(PreviewGeometry::withCropAspectRatio(presets, 2, 2.39), presets);
    EXPECT_EQ(PreviewGeometry::withCropAspectRatio(cropped, 1, inf), cropped);
}

} // namespace
} // namespace tandrel
