#include "host/views/preview/DragMath.h"

#include <gtest/gtest.h>

#include <functional>

namespace tandrel {
namespace {

constexpr DragModifiers none{};
constexpr DragModifiers shift{.shift = true};
constexpr DragModifiers option{.option = true};

// A 60 × 30 chip (a tenth of the picture each way) at 0.3, 0.3 of a 600 × 300 picture that is
// the whole frame, at (20, 10) in the canvas. Guides across: 0, 0.45, 0.9; up: the same.
DragMath::Inputs base() {
    DragMath::Inputs in;
    in.posX = 0.3;
    in.posY = 0.3;
    in.visibleRect = QRectF(20, 10, 600, 300);
    in.canvasRect = in.visibleRect;
    in.chipSize = QSizeF(60, 30);
    in.gridDivisions = 4;
    return in;
}

// A 4:3-like crop: the picture 600 wide in an 800-wide frame (bars left and right).
DragMath::Inputs pillarbox() {
    DragMath::Inputs in = base();
    in.canvasRect = QRectF(0, 0, 800, 300);
    in.visibleRect = QRectF(100, 0, 600, 300);
    return in;
}

// A scope crop: the picture 300 high in a 400-high frame (bars above and below).
DragMath::Inputs letterbox() {
    DragMath::Inputs in = base();
    in.canvasRect = QRectF(0, 0, 600, 400);
    in.visibleRect = QRectF(0, 50, 600, 300);
    return in;
}

TEST(DragMath, ClosestGuideSnapsStrictlyInsideTheThreshold) {
    struct Case {
        std::vector<double> guides;
        double value;
        double threshold;
        double result;
        bool snapped;
    };
    const Case cases[] = {
        {{}, 0.5, 1, 0.5, false},
        {{0, 1}, 0.5, 1, 0, true}, // equally near: the earlier guide
        {{1, 0}, 0.5, 1, 1, true},
        {{2, 0.5, 1}, 0.75, 1, 0.5, true},
        {{0.5}, 0.75, 0.25, 0.75, false}, // exactly at the threshold
        {{0.5}, 0.75, 0.2500001, 0.5, true},
        {{0.5}, 0.5, 0, 0.5, false}, // a threshold of 0 never snaps
    };
    for (const Case &c : cases) {
        const auto [value, snapped] = DragMath::closestGuide(c.value, c.guides, c.threshold);
        EXPECT_EQ(value, c.result) << c.value;
        EXPECT_EQ(snapped, c.snapped) << c.value;
    }
}

TEST(DragMath, ClampKeepsTheBoxInsideTheFrame) {
    struct Case {
        const char *name;
        DragMath::Inputs inputs;
        std::pair<double, double> position;
        std::pair<double, double> clamped;
    };
    DragMath::Inputs wide = base();
    wide.chipSize = QSizeF(700, 30);
    const Case cases[] = {
        {"inside", base(), {0.5, 0.5}, {0.5, 0.5}},
        {"beyond the right and below", base(), {1.2, -0.5}, {0.9, 0}},
        {"wider than the frame: pinned between the swapped bounds", wide, {0.5, 0.5}, {0, 0.5}},
        {"wider than the frame, far left", wide, {-0.5, 0.5}, {1 - 700.0 / 600, 0.5}},
        {"into the bars of a pillarbox", pillarbox(), {-0.5, 0.5}, {-1.0 / 6, 0.5}},
        {"into the bars of a letterbox", letterbox(), {0.5, 1.5}, {0.5, 1 + 50.0 / 300 - 0.1}},
        {"below a letterbox", letterbox(), {0.5, -0.5}, {0.5, 1 - 350.0 / 300}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto [x, y] = DragMath(c.inputs).clampToFrame(c.position.first, c.position.second);
        EXPECT_DOUBLE_EQ(x, c.clamped.first);
        EXPECT_DOUBLE_EQ(y, c.clamped.second);
    }
}

TEST(DragMath, ResolvesTheDragWithAxisLockGridGuidesAndModifiers) {
    struct Case {
        const char *name;
        std::function<void(DragMath::Inputs &)> setUp;
        QSizeF translation;
        DragModifiers modifiers;
        double posX;
        double posY;
        std::optional<double> guideX;
        std::optional<double> guideY;
    };
    const auto nothing = [](DragMath::Inputs &) {};
    const auto atX = [](double x) { return [x](DragMath::Inputs &in) { in.posX = x; }; };
    const auto gridOf = [](int n) {
        return [n](DragMath::Inputs &in) {
            in.snapToGrid = true;
            in.gridDivisions = n;
        };
    };
    const auto use = [](DragMath::Inputs (*make)(), bool constrain) {
        return [make, constrain](DragMath::Inputs &in) {
            in = make();
            in.constrainToVisiblePicture = constrain;
        };
    };
    const Case cases[] = {
        {"shift keeps the longer axis", nothing, {10, -10}, shift, 0.3 + 10.0 / 600, 0.3, {}, {}},
        {"shift drops the shorter", nothing, {3, 9}, shift, 0.3, 0.3 - 9.0 / 300, {}, {}},
        {"without shift both axes move",
         nothing,
         {3, 9},
         none,
         0.3 + 3.0 / 600,
         0.3 - 9.0 / 300,
         {},
         {}},
        {"5 points from the left edge snap to it", atX(0.1), {-55, 0}, none, 0, 0.3, 20.0, {}},
        {"6.5 points from it do not", atX(0.1), {-53.5, 0}, none, 6.5 / 600, 0.3, {}, {}},
        {"onto the centre across: the guide marks the left edge",
         nothing,
         {88.2, 0},
         none,
         0.45,
         0.3,
         20 + 0.45 * 600,
         {}},
        {"onto the centre up: the guide marks the bottom edge",
         nothing,
         {0, -44.1},
         none,
         0.3,
         0.45,
         {},
         10 + 0.55 * 300},
        {"onto a sibling's left edge",
         [](DragMath::Inputs &in) {
             in.siblingPositions = {{0.6, 0.7}};
         },
         {181.8, 0},
         none,
         0.6,
         0.3,
         20 + 0.6 * 600,
         {}},
        {"grid 4 rounds 0.374 down", gridOf(4), {44.4, 0}, none, 0.25, 0.25, {}, {}},
        {"grid 4 rounds 0.375 up, away from zero", gridOf(4), {45, 0}, none, 0.5, 0.25, {}, {}},
        {"a grid of 0 rounds nothing", gridOf(0), {44.4, 0}, none, 0.374, 0.3, {}, {}},
        {"a grid of 0 still snaps to guides",
         gridOf(0),
         {88.2, 0},
         none,
         0.45,
         0.3,
         20 + 0.45 * 600,
         {}},
        {"option: no snapping near an edge", atX(0.1), {-55, 0}, option, 5.0 / 600, 0.3, {}, {}},
        {"option: no grid", gridOf(4), {44.4, 0}, option, 0.374, 0.3, {}, {}},
        {"option: still inside the frame", nothing, {-300, 500}, option, 0, 0, {}, {}},
        {"option with constrain stays in the picture",
         use(pillarbox, true),
         {600, 0},
         option,
         0.9,
         0.3,
         {},
         {}},
        {"constrain off: into the pillarbox bar",
         use(pillarbox, false),
         {420, 0},
         none,
         0.3 + 420.0 / 600,
         0.3,
         {},
         {}},
        {"constrain off: not beyond the frame",
         use(pillarbox, false),
         {900, 0},
         none,
         700.0 / 600 - 0.1,
         0.3,
         {},
         {}},
        {"onto the frame's left edge in the bar",
         use(pillarbox, false),
         {-278, 0},
         none,
         -1.0 / 6,
         0.3,
         0.0,
         {}},
        {"constrain pulls the snapped edge in; the guide stays",
         use(pillarbox, true),
         {-278, 0},
         none,
         0,
         0.3,
         100.0,
         {}},
        {"into the letterbox bar below", use(letterbox, false), {0, 120}, none, 0.3, -0.1, {}, {}},
        {"not below the frame",
         use(letterbox, false),
         {0, 180},
         none,
         0.3,
         1 - 350.0 / 300,
         {},
         {}},
        {"onto the frame's bottom edge in the bar",
         use(letterbox, false),
         {0, 139},
         none,
         0.3,
         1 - 350.0 / 300,
         {},
         400.0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DragMath::Inputs in = base();
        c.setUp(in);
        const DragMath::Result r = DragMath(in).resolvedPosition(c.translation, c.modifiers);
        EXPECT_NEAR(r.posX, c.posX, 1e-12);
        EXPECT_NEAR(r.posY, c.posY, 1e-12);
        EXPECT_EQ(r.guideX.has_value(), c.guideX.has_value());
        EXPECT_EQ(r.guideY.has_value(), c.guideY.has_value());
        if (r.guideX && c.guideX) {
            EXPECT_NEAR(*r.guideX, *c.guideX, 1e-9);
        }
        if (r.guideY && c.guideY) {
            EXPECT_NEAR(*r.guideY, *c.guideY, 1e-9);
        }
        // The offset moves the stored corner onto the resolved one.
        const QRectF &v = in.visibleRect;
        EXPECT_NEAR(r.offset.width(), (r.posX - in.posX) * v.width(), 1e-9);
        EXPECT_NEAR(r.offset.height(), (in.posY - r.posY) * v.height(), 1e-9);
    }
}

TEST(DragMath, AnEmptyPictureLeavesThePositionAlone) {
    DragMath::Inputs in = base();
    in.visibleRect = QRectF(0, 0, 0, 0);
    const DragMath::Result r = DragMath(in).resolvedPosition({40, 40}, none);
    EXPECT_EQ(r.posX, 0.3);
    EXPECT_EQ(r.posY, 0.3);
    EXPECT_TRUE(r.offset.isNull());
    EXPECT_EQ(DragMath(in).clampToFrame(2, -2), std::make_pair(2.0, -2.0));
}

} // namespace
} // namespace tandrel
