#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/CorvaneTooltipPill.h"
#include "designkit/CorvaneTooltipPositioning.h"

#include "TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace corvane;
using namespace std::chrono_literals;

namespace {

// A window with one anchor at a chosen place, on a clock that moves only when told.
class CorvaneTooltip : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(400, 300);
        anchor = new QLabel(QStringLiteral("Anchor"), &window);
        anchor->setGeometry(150, 130, 100, 24);
        child = new QLabel(QStringLiteral("inner"), anchor);
        child->setGeometry(4, 4, 40, 16);
        window.show();
    }

    CorvaneTooltipModifier *tooltip(const QString &text = QStringLiteral("Hide Sidebar"),
                                    std::optional<QString> shortcut = std::nullopt,
                                    Edge edge = Edge::bottom) {
        return corvaneTooltip(anchor, text, shortcut, edge);
    }

    bool pillShown(const CorvaneTooltipModifier *modifier) const {
        return modifier->isShown() && modifier->pill() != nullptr && modifier->pill()->isVisible();
    }

    ManualClock clock;
    ScopedClock scopedClock{clock};
    QWidget window;
    QLabel *anchor = nullptr;
    QLabel *child = nullptr;
};

} // namespace

TEST(CorvaneTooltipPositioning, HorizontalCorrection) {
    const QRectF window(0, 0, 400, 300);
    const QRectF infinite = CorvaneTooltipPositioning::infiniteRect();
    struct Case {
        const char *name;
        double anchorMiddle;
        double pillWidth;
        QRectF container;
        double correction;
    };
    const std::vector<Case> cases = {
        {"centred, fits", 200, 100, window, 0},
        {"30 from the left edge: left side at 8", 30, 100, window, 28},
        {"exactly at the left margin", 58, 100, window, 0},
        {"near the right edge: right side at width - 8", 380, 100, window, -38},
        {"wider than the container less 16: left margin wins", 200, 390, window, 3},
        {"pill not measured yet", 30, 0, window, 0},
        {"container without width", 30, 100, QRectF(0, 0, 0, 300), 0},
        {"a container away from the origin", 530, 100, QRectF(500, 0, 400, 300), 28},
        {"the infinite rectangle never shifts", -1e9, 100, infinite, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QRectF anchor(c.anchorMiddle - 10, 50, 20, 20);
        EXPECT_DOUBLE_EQ(CorvaneTooltipPositioning::horizontalCorrection(
                             anchor, QSizeF(c.pillWidth, 22), c.container),
                         c.correction);
    }
    EXPECT_DOUBLE_EQ(infinite.left(), -4.4942328371557893e307);
    EXPECT_DOUBLE_EQ(infinite.width(), 8.988465674311579e307);
}

TEST(CorvaneTooltipPositioning, PillAboveForTopAndBelowForEveryOtherEdge) {
    const QRectF anchor(100, 100, 40, 20);
    const QSizeF pill(60, 22);
    const QRectF above = CorvaneTooltipPositioning::pillFrame(anchor, pill, Edge::top, 0);
    EXPECT_EQ(above, QRectF(90, 70, 60, 22));
    for (const Edge edge : {Edge::bottom, Edge::leading, Edge::trailing}) {
        // Bottom edges aligned, then 30 points down.
        EXPECT_EQ(CorvaneTooltipPositioning::pillFrame(anchor, pill, edge, 5),
                  QRectF(95, 128, 60, 22));
    }
    // A pill of three lines grows away from its anchor: its first line below, or its last
    // line above, where a one-line pill's is.
    const QSizeF tall(60, 58);
    EXPECT_EQ(CorvaneTooltipPositioning::pillFrame(anchor, tall, Edge::bottom, 0, 22),
              QRectF(90, 128, 60, 58));
    EXPECT_EQ(CorvaneTooltipPositioning::pillFrame(anchor, tall, Edge::top, 0, 22),
              QRectF(90, 34, 60, 58));
    EXPECT_EQ(CorvaneTooltipPositioning::pillFrame(anchor, pill, Edge::bottom, 0, 22),
              QRectF(90, 128, 60, 22));
}

TEST_F(CorvaneTooltip, ContainerIsTheActiveWindowElseTheAnchorsWindow) {
    QWidget other;
    other.resize(640, 480);
    other.show();
    QApplication::setActiveWindow(&other);
    EXPECT_EQ(CorvaneTooltipPositioning::currentContainerBounds(anchor), QRectF(0, 0, 640, 480));
    other.hide();
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    EXPECT_EQ(CorvaneTooltipPositioning::currentContainerBounds(anchor), QRectF(0, 0, 400, 300));
    QWidget offScreen;
    EXPECT_EQ(CorvaneTooltipPositioning::currentContainerBounds(&offScreen),
              QRectF(QGuiApplication::primaryScreen()->availableGeometry()));
}

TEST_F(CorvaneTooltip, ShowsAfterTheDelayOnlyWhileHovering) {
    CorvaneTooltipModifier *modifier = tooltip();
    hoverEnter(anchor);
    clock.advance(349ms);
    EXPECT_FALSE(modifier->isShown());
    EXPECT_EQ(modifier->pill(), nullptr);
    clock.advance(1ms);
    ASSERT_TRUE(pillShown(modifier));
    // It fades in over 0.1 s from nothing.
    EXPECT_EQ(modifier->pill()->opacity(), 0);
    clock.advance(50ms);
    EXPECT_GT(modifier->pill()->opacity(), 0.5); // eased out: quick at first
    EXPECT_LT(modifier->pill()->opacity(), 1);
    clock.advance(50ms);
    EXPECT_EQ(modifier->pill()->opacity(), 1);
    hoverLeave(anchor);
    EXPECT_FALSE(pillShown(modifier));

    // Resting 349 ms and leaving never shows it, not even later.
    hoverEnter(anchor);
    clock.advance(349ms);
    hoverLeave(anchor);
    clock.advance(1s);
    EXPECT_FALSE(pillShown(modifier));
}

// A tooltip without text shows nothing, until it is given some.
TEST_F(CorvaneTooltip, WithoutTextItShowsNothing) {
    CorvaneTooltipModifier *modifier = tooltip(QString());
    hoverEnter(anchor);
    clock.advance(1s);
    EXPECT_FALSE(pillShown(modifier));
    hoverLeave(anchor);
    tooltip(QStringLiteral("Act One"));
    hoverEnter(anchor);
    clock.advance(350ms);
    EXPECT_TRUE(pillShown(modifier));
    // Losing its text while shown hides it.
    tooltip(QString());
    EXPECT_FALSE(pillShown(modifier));
}

TEST_F(CorvaneTooltip, ReenteringWithinTheDelayShowsItAfterTheFirstEntry) {
    CorvaneTooltipModifier *modifier = tooltip();
    hoverEnter(anchor);
    clock.advance(100ms);
    hoverLeave(anchor);
    clock.advance(100ms);
    hoverEnter(anchor); // at 200 ms
    clock.advance(149ms);
    EXPECT_FALSE(modifier->isShown());
    clock.advance(1ms); // 350 ms after the first entry
    EXPECT_TRUE(pillShown(modifier));
    // The second entry's delay runs out later and finds it shown: no second fade.
    clock.advance(100ms);
    clock.advance(200ms);
    EXPECT_EQ(modifier->pill()->opacity(), 1);
}

TEST_F(CorvaneTooltip, ClickHidesItUntilThePointerLeavesAndEntersAgain) {
    CorvaneTooltipModifier *modifier = tooltip();
    for (QWidget *clicked : std::vector<QWidget *>{anchor, child}) {
        SCOPED_TRACE(clicked == anchor ? "on the anchor" : "on a child of the anchor");
        hoverEnter(anchor);
        clock.advance(350ms);
        ASSERT_TRUE(pillShown(modifier));
        QTest::mouseClick(clicked, Qt::LeftButton);
        EXPECT_FALSE(pillShown(modifier));
        EXPECT_TRUE(modifier->isHovering());
        clock.advance(2s);
        EXPECT_FALSE(pillShown(modifier));
        hoverLeave(anchor);
    }
    hoverEnter(anchor);
    clock.advance(350ms);
    EXPECT_TRUE(pillShown(modifier));
}

TEST_F(CorvaneTooltip, PillIsAChildOfTheWindowAboveItsSiblingsAndTakesNoPointer) {
    auto *later = new QLabel(QStringLiteral("added after the anchor"), &window);
    later->show();
    CorvaneTooltipModifier *modifier = tooltip();
    hoverEnter(anchor);
    clock.advance(350ms);
    CorvaneTooltipPill *pill = modifier->pill();
    ASSERT_NE(pill, nullptr);
    EXPECT_EQ(pill->parentWidget(), &window);
    EXPECT_EQ(window.children().last(), pill);
    EXPECT_TRUE(pill->testAttribute(Qt::WA_TransparentForMouseEvents));
    // Below the anchor: bottoms aligned, then 30 points down; centred on it.
    EXPECT_EQ(pill->geometry().bottom() + 1, 130 + 24 + 30);
    EXPECT_NEAR(pill->x() + pill->width() / 2.0, 200, 0.5);
}

TEST_F(CorvaneTooltip, LeadingAndTrailingActAsBottomAndTopGoesAbove) {
    for (const auto &[edge, above] :
         {std::pair{Edge::bottom, false}, std::pair{Edge::leading, false},
          std::pair{Edge::trailing, false}, std::pair{Edge::top, true}}) {
        SCOPED_TRACE(static_cast<int>(edge));
        CorvaneTooltipModifier *modifier = tooltip(QStringLiteral("Refresh"), std::nullopt, edge);
        hoverEnter(anchor);
        clock.advance(350ms);
        ASSERT_TRUE(pillShown(modifier));
        const QRect pill = modifier->pill()->geometry();
        if (above) {
            EXPECT_EQ(pill.top(), 130 - 30);
        } else {
            EXPECT_EQ(pill.bottom() + 1, 130 + 24 + 30);
        }
        hoverLeave(anchor);
    }
}

TEST_F(CorvaneTooltip, APillThatWouldLeaveTheWindowGoesToTheOtherSide) {
    // At the window's foot, as the status bar's refresh button: above, where it can be read.
    anchor->setGeometry(150, 300 - 24, 100, 24);
    CorvaneTooltipModifier *modifier = tooltip(QStringLiteral("Re-scan now"));
    hoverEnter(anchor);
    clock.advance(350ms);
    ASSERT_TRUE(pillShown(modifier));
    const QRect below = modifier->pill()->geometry();
    EXPECT_EQ(below.top(), 300 - 24 - 30);
    EXPECT_LE(below.bottom(), anchor->geometry().top());
    hoverLeave(anchor);
    // The same at the top of the window: below, as asked.
    anchor->setGeometry(150, 0, 100, 24);
    hoverEnter(anchor);
    clock.advance(350ms);
    EXPECT_EQ(modifier->pill()->geometry().bottom() + 1, 24 + 30);
    // Where neither side has room, the side asked for.
    EXPECT_EQ(CorvaneTooltipPositioning::fittingEdge(QRectF(0, 0, 10, 10), QSizeF(50, 80),
                                                     Edge::bottom, 22, QRectF(0, 0, 100, 40)),
              Edge::bottom);
}

TEST_F(CorvaneTooltip, PillIsShiftedToStayInsideTheWindow) {
    anchor->setGeometry(0, 130, 60, 24); // midpoint 30 points from the left edge
    CorvaneTooltipModifier *modifier = tooltip(QStringLiteral("Import preset from .json"));
    hoverEnter(anchor);
    clock.advance(350ms);
    ASSERT_TRUE(pillShown(modifier));
    EXPECT_GT(modifier->horizontalCorrection(), 0);
    EXPECT_EQ(modifier->pill()->x(), 8);
}

// A control that opens a window when clicked: a click before the pill shows keeps it away when
// the delay runs out, and another window taking the keyboard from the control's window hides
// it, shown or still to come, until the pointer comes back.
TEST_F(CorvaneTooltip, AClickOrAnotherWindowKeepsThePillAwayUntilThePointerComesBack) {
    CorvaneTooltipModifier *modifier = tooltip(QStringLiteral("Expand"));
    const auto deactivate = [this] {
        QEvent deactivated(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(&window, &deactivated);
    };
    struct Case {
        const char *what;
        bool shownFirst;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"a click within the delay", false, [this] { QTest::mouseClick(anchor, Qt::LeftButton); }},
        {"another window, within the delay", false, deactivate},
        {"another window, the pill shown", true, deactivate},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        hoverEnter(anchor);
        clock.advance(c.shownFirst ? 350ms : 100ms);
        ASSERT_EQ(pillShown(modifier), c.shownFirst);
        c.act();
        clock.advance(2s);
        EXPECT_FALSE(pillShown(modifier));
        hoverLeave(anchor);
        hoverEnter(anchor);
        clock.advance(350ms);
        EXPECT_TRUE(pillShown(modifier)) << "back";
        hoverLeave(anchor);
    }
}

TEST_F(CorvaneTooltip, LongTextWrapsWithinTheWidthLimit) {
    CorvaneTooltipModifier *single = tooltip(QStringLiteral("Close"));
    hoverEnter(anchor);
    clock.advance(350ms);
    const QSize oneLine = single->pill()->size();
    hoverLeave(anchor);
    EXPECT_LT(oneLine.width(), CorvaneTooltipPill::maximumWidth);

    const QStringList texts = {
        QStringLiteral("Reset to factory default: every element of this preset goes back to "
                       "the values it shipped with"),
        // One word longer than a line breaks inside the word.
        QStringLiteral("/Volumes/Media/Libraries/Feature_Reel_2_Conform_Final_v12.fcpbundle"),
    };
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        CorvaneTooltipModifier *modifier = tooltip(text);
        hoverEnter(anchor);
        clock.advance(350ms);
        const QSize size = modifier->pill()->size();
        EXPECT_LE(size.width(), CorvaneTooltipPill::maximumWidth);
        EXPECT_GT(size.width(), CorvaneTooltipPill::maximumWidth - 40);
        EXPECT_GE(size.height(), 2 * oneLine.height() - 2 * CorvaneTooltipPill::verticalPadding);
        // It grows downwards, clear of the control it tells about, its top where a one-line
        // pill's is.
        EXPECT_EQ(modifier->pill()->y(), 130 + 24 + 30 - oneLine.height());
        EXPECT_GT(modifier->pill()->y(), anchor->geometry().bottom());
        hoverLeave(anchor);
    }
}

// A "\n" in the text starts a new line: a list the system makes, one item a line.
TEST_F(CorvaneTooltip, ALineBreakInTheTextStartsANewLine) {
    const auto pillFor = [this](const QString &text) {
        CorvaneTooltipModifier *modifier = tooltip(text);
        hoverEnter(anchor);
        clock.advance(350ms);
        const QSize size = modifier->pill()->size();
        hoverLeave(anchor);
        return size;
    };
    const QSize oneLine = pillFor(QStringLiteral("Cannot be read: Day 2"));
    const QSize twoLines = pillFor(QStringLiteral("Cannot be read:\nDay 2"));
    const QSize threeLines = pillFor(QStringLiteral("Cannot be read:\nDay 2\nDay 3"));
    const int line = oneLine.height() - 2 * CorvaneTooltipPill::verticalPadding;
    EXPECT_EQ(twoLines.height(), oneLine.height() + line);
    EXPECT_EQ(threeLines.height(), oneLine.height() + 2 * line);
    // As wide as its widest line.
    EXPECT_LT(twoLines.width(), oneLine.width());
    EXPECT_EQ(threeLines.width(), twoLines.width());
}

TEST_F(CorvaneTooltip, AccessibilityAndShortcutLine) {
    CorvaneTooltipModifier *modifier = tooltip(QStringLiteral("Add Library..."));
    EXPECT_EQ(anchor->accessibleName(), QStringLiteral("Add Library..."));
    EXPECT_EQ(anchor->accessibleDescription(), QString());
    hoverEnter(anchor);
    clock.advance(350ms);
    const int plainHeight = modifier->pill()->height();
    EXPECT_FALSE(modifier->pill()->shortcut());
    hoverLeave(anchor);

    // Asking again changes the one tooltip the widget has.
    EXPECT_EQ(tooltip(QStringLiteral("Add Library..."), QStringLiteral("⌘O"), Edge::top), modifier);
    EXPECT_EQ(anchor->accessibleDescription(), QStringLiteral("Shortcut ⌘O"));
    hoverEnter(anchor);
    clock.advance(350ms);
    EXPECT_EQ(modifier->pill()->shortcut(), QStringLiteral("⌘O"));
    EXPECT_GT(modifier->pill()->height(), plainHeight);
    EXPECT_EQ(window.findChildren<CorvaneTooltipPill *>().size(), 1);
}

TEST_F(CorvaneTooltip, SystemTooltipsAreTakenAndAHiddenAnchorDropsItsPill) {
    CorvaneTooltipModifier *modifier = tooltip();
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), anchor->mapToGlobal(QPoint(2, 2)));
    EXPECT_TRUE(QCoreApplication::sendEvent(anchor, &help));

    hoverEnter(anchor);
    clock.advance(350ms);
    ASSERT_TRUE(pillShown(modifier));
    anchor->hide();
    EXPECT_FALSE(pillShown(modifier));
    // An anchor destroyed takes its pill with it; the pending delays come to nothing.
    anchor->show();
    hoverEnter(anchor);
    QPointer<CorvaneTooltipPill> pill = modifier->pill();
    delete anchor;
    anchor = nullptr;
    EXPECT_TRUE(pill.isNull());
    clock.advance(1s);
}
