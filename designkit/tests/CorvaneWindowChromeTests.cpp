#include "designkit/Color.h"
#include "designkit/CorvaneHudBackground.h"
#include "designkit/CorvaneTrafficLights.h"
#include "designkit/CorvaneTransparentWindow.h"
#include "designkit/CorvaneVisualEffectView.h"
#include "designkit/WindowFrameGeometry.h"

#include "TestSupport.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <vector>

using namespace corvane;

namespace {

QAbstractButton *light(const CorvaneTrafficLights &lights, const char *name) {
    for (auto *button : lights.findChildren<QAbstractButton *>()) {
        if (button->accessibleName() == QLatin1String(name)) {
            return button;
        }
    }
    return nullptr;
}

bool isGlass(const QWidget &window) {
    return (window.windowFlags() & Qt::FramelessWindowHint) &&
           window.testAttribute(Qt::WA_TranslucentBackground);
}

} // namespace

TEST(CorvaneTransparentWindowFrame, EdgesCursorsAndTheMoveBand) {
    const QSize size(480, 600);
    struct Case {
        QPoint point;
        Qt::Edges edges;
        Qt::CursorShape cursor;
        bool moves;
    };
    const std::vector<Case> cases = {
        {{240, 300}, {}, Qt::ArrowCursor, false},
        {{240, 27}, {}, Qt::ArrowCursor, true},
        {{240, 28}, {}, Qt::ArrowCursor, false},
        {{240, 5}, Qt::TopEdge, Qt::SizeVerCursor, true},
        {{240, 6}, {}, Qt::ArrowCursor, true},
        {{240, 594}, Qt::BottomEdge, Qt::SizeVerCursor, false},
        {{240, 593}, {}, Qt::ArrowCursor, false},
        {{0, 300}, Qt::LeftEdge, Qt::SizeHorCursor, false},
        {{474, 300}, Qt::RightEdge, Qt::SizeHorCursor, false},
        {{2, 2}, Qt::TopEdge | Qt::LeftEdge, Qt::SizeFDiagCursor, true},
        {{479, 599}, Qt::BottomEdge | Qt::RightEdge, Qt::SizeFDiagCursor, false},
        {{479, 0}, Qt::TopEdge | Qt::RightEdge, Qt::SizeBDiagCursor, true},
        {{0, 599}, Qt::BottomEdge | Qt::LeftEdge, Qt::SizeBDiagCursor, false},
        {{-1, 300}, {}, Qt::ArrowCursor, false},
        {{480, 10}, {}, Qt::ArrowCursor, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x() << "," << c.point.y());
        const Qt::Edges edges = WindowFrameGeometry::edgesAt(c.point, size);
        EXPECT_EQ(edges, c.edges);
        EXPECT_EQ(WindowFrameGeometry::cursorFor(edges), c.cursor);
        EXPECT_EQ(WindowFrameGeometry::isInMoveBand(c.point, size), c.moves);
    }
}

TEST(CorvaneTransparentWindowFrame, ResizeByHandKeepsTheOppositeEdgesAndTheBounds) {
    const QRect start(100, 100, 480, 600);
    const QSize minimum(400, 500);
    const QSize maximum(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    struct Case {
        const char *name;
        Qt::Edges edges;
        QPoint delta;
        QRect result;
    };
    const std::vector<Case> cases = {
        {"right, wider", Qt::RightEdge, {50, 9}, {100, 100, 530, 600}},
        {"left, wider", Qt::LeftEdge, {-50, 0}, {50, 100, 530, 600}},
        {"left, past the minimum: right edge stays", Qt::LeftEdge, {200, 0}, {180, 100, 400, 600}},
        {"top-left corner", Qt::TopEdge | Qt::LeftEdge, {-10, -20}, {90, 80, 490, 620}},
        {"bottom, shorter than the minimum", Qt::BottomEdge, {0, -300}, {100, 100, 480, 500}},
        {"top, past the minimum: bottom stays", Qt::TopEdge, {0, 150}, {100, 200, 480, 500}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WindowFrameGeometry::resized(start, c.edges, c.delta, minimum, maximum),
                  c.result);
    }
    EXPECT_EQ(WindowFrameGeometry::resized(start, Qt::RightEdge, {500, 0}, minimum, {700, 700}),
              QRect(100, 100, 700, 600));
}

TEST(CorvaneTransparentWindow, ActsOnALaterTurnOnly) {
    QWidget window;
    auto *content = new QLabel(QStringLiteral("content"), &window);
    window.resize(300, 300);
    window.show();
    corvaneTransparentWindow(content, QSize(480, 600));
    EXPECT_FALSE(isGlass(window));
    EXPECT_EQ(window.minimumSize(), QSize(0, 0));
    nextTurn();
    EXPECT_TRUE(isGlass(window));
    EXPECT_TRUE(window.isVisible()); // shown again after its frame changed
    // The minimum size holds: the window grew to it and cannot shrink below it.
    EXPECT_EQ(window.minimumSize(), QSize(480, 600));
    EXPECT_EQ(window.size(), QSize(480, 600));
    window.resize(200, 200);
    EXPECT_EQ(window.size(), QSize(480, 600));
}

TEST(CorvaneTransparentWindow, WithoutAMinimumSizeTheOldOneStays) {
    QWidget window;
    window.setMinimumSize(150, 120);
    window.show();
    corvaneTransparentWindow(&window);
    nextTurn();
    EXPECT_TRUE(isGlass(window));
    EXPECT_EQ(window.minimumSize(), QSize(150, 120));
}

TEST(CorvaneTransparentWindow, AWidgetInNoWindowIsLeftAlone) {
    QWidget offScreen;
    corvaneTransparentWindow(&offScreen, QSize(480, 600));
    nextTurn();
    EXPECT_FALSE(offScreen.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(offScreen.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(offScreen.minimumSize(), QSize(0, 0));
    EXPECT_FALSE(offScreen.isVisible());

    // A widget destroyed before the turn takes the call with it.
    auto *gone = new QWidget;
    corvaneTransparentWindow(gone);
    delete gone;
    nextTurn();
}

TEST(CorvaneTransparentWindow, TopBandMovesAndEdgesResizeByHand) {
    // The offscreen platform has no window manager: both fall back to moving by hand.
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("takes no clicks"));
    auto *button = new QPushButton(QStringLiteral("takes clicks"));
    layout->addWidget(label);
    layout->addWidget(button);
    window.setGeometry(100, 100, 480, 600);
    window.show();
    corvaneTransparentWindow(&window);
    nextTurn();
    label->setGeometry(0, 0, 480, 28);
    button->setGeometry(100, 2, 80, 20); // in the band, over the label

    // A press in the band that no widget takes drags the window.
    const QPoint start = window.pos();
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(300, 10));
    QTest::mouseMove(label, QPoint(340, 30));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(340, 30));
    EXPECT_EQ(window.pos(), start + QPoint(40, 20));

    // A widget that takes the press keeps it.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(window.pos(), start + QPoint(40, 20));

    // Near the right edge the pointer shows the resize shape and a press resizes.
    QMouseEvent hover(QEvent::MouseMove, QPointF(477, 300), window.mapToGlobal(QPointF(477, 300)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &hover);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::SizeHorCursor);
    const QRect before = window.geometry();
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(477, 300));
    QTest::mouseMove(&window, QPoint(517, 330));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(517, 330));
    EXPECT_EQ(window.geometry(), before.adjusted(0, 0, 40, 0));
    hoverLeave(&window);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(CorvaneTrafficLights, LightsDoNothingBeforeTheWindowIsDelivered) {
    QWidget window;
    auto *lights = new CorvaneTrafficLights(&window);
    window.show();
    EXPECT_EQ(lights->hostWindow(), nullptr);
    light(*lights, "Close Window")->click();
    EXPECT_TRUE(window.isVisible());
    nextTurn();
    EXPECT_EQ(lights->hostWindow(), &window);
}

TEST(CorvaneTrafficLights, EachLightReachesItsAction) {
    QWidget window;
    auto *lights = new CorvaneTrafficLights(&window);
    window.show();
    nextTurn();
    light(*lights, "Zoom Window")->click();
    EXPECT_TRUE(window.isMaximized());
    light(*lights, "Zoom Window")->click();
    EXPECT_FALSE(window.isMaximized());
    light(*lights, "Minimize Window")->click();
    EXPECT_TRUE(window.isMinimized());
    window.showNormal();
    light(*lights, "Close Window")->click();
    EXPECT_FALSE(window.isVisible());
}

TEST(CorvaneTrafficLights, NewWindowIsDeliveredOnTheNextTurn) {
    QWidget first;
    QWidget second;
    auto *lights = new CorvaneTrafficLights(&first);
    first.show();
    second.show();
    nextTurn();
    ASSERT_EQ(lights->hostWindow(), &first);
    lights->setParent(&second);
    lights->show();
    EXPECT_EQ(lights->hostWindow(), &first);
    nextTurn();
    EXPECT_EQ(lights->hostWindow(), &second);
    light(*lights, "Close Window")->click();
    EXPECT_FALSE(second.isVisible());
    EXPECT_TRUE(first.isVisible());
}

TEST(CorvaneTrafficLights, HoverHoldsAcrossTheGapsBetweenLights) {
    QWidget window;
    auto *lights = new CorvaneTrafficLights(&window);
    window.show();
    const auto buttons = lights->findChildren<QAbstractButton *>();
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_EQ(lights->size(), QSize(3 * 12 + 2 * 8, 12));
    EXPECT_EQ(buttons[1]->x() - buttons[0]->geometry().right() - 1, 8);
    EXPECT_FALSE(lights->isHovering());

    // Entering the group, then a light, then the gap: the group is never left.
    hoverEnter(lights, QPointF(3, 6));
    hoverEnter(buttons[0]);
    hoverLeave(buttons[0]);
    EXPECT_TRUE(lights->isHovering());
    hoverEnter(buttons[1]);
    EXPECT_TRUE(lights->isHovering());
    hoverLeave(buttons[1]);
    hoverLeave(lights);
    EXPECT_FALSE(lights->isHovering());
}

TEST(CorvaneTransparentWindow, MaterialViewsAndTheHudBackground) {
    CorvaneVisualEffectView view(CorvaneMaterial::hudWindow, CorvaneBlendingMode::behindWindow);
    view.setMaterial(CorvaneMaterial::thin);
    view.setBlendingMode(CorvaneBlendingMode::withinWindow);
    EXPECT_EQ(view.material(), CorvaneMaterial::thin);
    EXPECT_EQ(view.blendingMode(), CorvaneBlendingMode::withinWindow);

    // Opacity 0 leaves the bare HUD material.
    const GlassLayers bare = CorvaneHudBackground::layers(Color::sRGB(0.2, 0.4, 0.6), 0);
    EXPECT_EQ(bare.material, CorvaneMaterial::hudWindow);
    EXPECT_EQ(bare.tint.alpha(), 0);
    EXPECT_EQ(bare.cornerRadius, 0);
    EXPECT_FALSE(bare.border);
    EXPECT_TRUE(sameColour(CorvaneHudBackground::layers(Color::sRGB(0.2, 0.4, 0.6), 0.5).tint,
                           {0.2, 0.4, 0.6, 0.5}));
}
