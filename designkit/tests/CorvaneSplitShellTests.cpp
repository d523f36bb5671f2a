#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneSplitShell.h"
#include "designkit/SidebarWidth.h"
#include "designkit/SplitShellGeometry.h"

#include "TestSupport.h"

#include "platform/runtime/KeyValueStore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace corvane;
using namespace std::chrono_literals;

namespace {

const QString key = QStringLiteral("sidebarWidth");

// A shell over private user defaults: an INI file in a fresh folder for each test, where the
// user's own settings also point.
class CorvaneSplitShellWidget : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        organisation = QCoreApplication::organizationName();
        application = QCoreApplication::applicationName();
        QCoreApplication::setOrganizationName(QStringLiteral("Ostrevale"));
        QCoreApplication::setApplicationName(QStringLiteral("Split Shell Test"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    }

    void TearDown() override {
        QCoreApplication::setOrganizationName(organisation);
        QCoreApplication::setApplicationName(application);
    }

    std::unique_ptr<CorvaneSplitShell> shell(std::optional<QString> persistenceKey = key,
                                             double ideal = 300) {
        auto made = std::make_unique<CorvaneSplitShell>(
            CorvaneSplitShell::Config{.minSidebarWidth = 220,
                                      .idealSidebarWidth = ideal,
                                      .maxSidebarWidth = 400,
                                      .persistenceKey = persistenceKey,
                                      .userDefaults = defaults});
        made->resize(1000, 700);
        made->show();
        return made;
    }

    // Presses on the handle, moves the pointer by each step (measured from the press) and
    // releases it; the widths the shell took after each step.
    std::vector<double> drag(CorvaneSplitShell &shell, std::vector<int> steps) {
        QWidget *handle = shell.resizeHandle();
        const QPoint press = handle->mapToGlobal(QPoint(4, 300));
        QTest::mousePress(handle, Qt::LeftButton, {}, handle->mapFromGlobal(press));
        std::vector<double> widths;
        for (const int step : steps) {
            QTest::mouseMove(handle, handle->mapFromGlobal(press + QPoint(step, 0)));
            widths.push_back(shell.sidebarWidth());
        }
        QTest::mouseRelease(handle, Qt::LeftButton, {},
                            handle->mapFromGlobal(press + QPoint(steps.back(), 0)));
        return widths;
    }

    QVariant stored() const { return defaults->value(key); }
    // Every key the file holds.
    QStringList storedKeys() const { return QSettings(file(), QSettings::IniFormat).allKeys(); }
    QString file() const { return folder.filePath(QStringLiteral("defaults.ini")); }

    QTemporaryDir folder;
    std::shared_ptr<platform::KeyValueStore> defaults =
        platform::SettingsKeyValueStore::iniFile(file());
    QString organisation;
    QString application;
};

} // namespace

TEST(CorvaneSplitShellWidth, SeedingFromTheStoredWidth) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char *name;
        std::optional<double> stored;
        double ideal;
        double seeded;
    };
    const std::vector<Case> cases = {
        {"within the bounds", 350, 300, 350},
        {"below the minimum", 150, 300, 220},
        {"above the maximum", 500, 300, 400},
        {"nothing stored", std::nullopt, 300, 300},
        {"zero, the answer for a missing key", 0, 300, 300},
        {"negative", -5, 300, 300},
        {"not a number", nan, 300, 300},
        {"an ideal below the bounds is kept", std::nullopt, 180, 180},
        {"an ideal above the bounds is kept", 0, 480, 480},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SidebarWidth::seeded(c.stored, 220, c.ideal, 400), c.seeded);
    }
    // Where the bounds cross, the maximum wins.
    EXPECT_EQ(SidebarWidth::clamped(100, 300, 250), 250);
}

TEST(CorvaneSplitShellWidth, DragStepsMeasureFromTheStart) {
    struct Case {
        const char *name;
        double start;
        std::vector<QPointF> translations;
        std::vector<std::optional<double>> widths;
    };
    const std::vector<Case> cases = {
        {"50 to the right", 300, {{50, 0}}, {350}},
        {"200 to the right stops at the maximum", 300, {{200, 0}}, {400}},
        {"back from past the maximum moves once inside again",
         300,
         {{200, 0}, {150, 0}, {100, 0}, {99, 0}, {60, 0}},
         {400, 400, 400, 399, 360}},
        {"past the minimum", 300, {{-120, 0}, {-80, 0}, {-70, 0}}, {220, 220, 230}},
        {"under 1 point changes nothing",
         300,
         {{0.4, 0}, {-0.6, 0.6}},
         {std::nullopt, std::nullopt}},
        {"once begun, small steps count",
         300,
         {{0.5, 0}, {1, 0}, {0.5, 0}},
         {std::nullopt, 301, 300.5}},
        {"vertical travel begins it and leaves the width", 300, {{0, 5}, {10, 40}}, {300, 310}},
        {"an ideal outside the bounds is clamped by the first step", 480, {{1, 0}}, {400}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SidebarDrag drag(220, 400);
        double width = c.start;
        for (size_t i = 0; i < c.translations.size(); ++i) {
            const auto moved = drag.moved(c.translations[i], width);
            EXPECT_EQ(moved, c.widths[i]) << "step " << i;
            if (moved) {
                width = *moved;
                EXPECT_EQ(drag.startWidth(), c.start);
            }
        }
        drag.ended();
        EXPECT_FALSE(drag.startWidth());
    }
}

TEST(CorvaneSplitShellWidth, GeometryOfCardHandleAndContent) {
    const SplitShellGeometry shown = SplitShellGeometry::compute(QSize(1000, 700), 300, 1);
    EXPECT_EQ(shown.card, QRect(8, 8, 300, 684));
    // The 9-point handle reaches 8 points back over the card's trailing margin.
    EXPECT_EQ(shown.handle, QRect(308, 0, 9, 700));
    EXPECT_EQ(shown.content, QRect(317, 0, 683, 700));

    const SplitShellGeometry collapsed = SplitShellGeometry::compute(QSize(1000, 700), 300, 0);
    EXPECT_EQ(collapsed.content, QRect(0, 0, 1000, 700));
    EXPECT_LE(collapsed.handle.right(), -1);
    EXPECT_EQ(collapsed.card.width(), 300);

    // Half way, the card keeps its width and rides on the trailing side of its space.
    const SplitShellGeometry half = SplitShellGeometry::compute(QSize(1000, 700), 300, 0.5);
    EXPECT_EQ(half.card.width(), 300);
    EXPECT_EQ(half.content.left(), 159);
    EXPECT_EQ(half.handle.right() + 1, half.content.left());
}

TEST_F(CorvaneSplitShellWidget, ADragOnTheHandleWritesTheWidthItEndsAtOnceButNeverTheSeed) {
    defaults->setValue(key, 350.0);
    auto made = shell();
    EXPECT_EQ(made->sidebarWidth(), 350);
    defaults->remove(key);
    EXPECT_FALSE(stored().isValid()); // seeding wrote nothing

    EXPECT_EQ(made->resizeHandle()->cursor().shape(), Qt::SizeHorCursor);
    EXPECT_EQ(made->resizeHandle()->geometry(), QRect(358, 0, 9, 700));
    // While the pointer moves nothing is written: the width follows it on screen only, and is
    // written once, on release.
    QWidget *handle = made->resizeHandle();
    const QPoint press = handle->mapToGlobal(QPoint(4, 300));
    QTest::mousePress(handle, Qt::LeftButton, {}, handle->mapFromGlobal(press));
    for (const int step : {20, 100, -30}) {
        QTest::mouseMove(handle, handle->mapFromGlobal(press + QPoint(step, 0)));
        EXPECT_EQ(made->sidebarWidth(), std::min(350 + step, 400));
        EXPECT_FALSE(stored().isValid());
    }
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(press + QPoint(-30, 0)));
    EXPECT_EQ(stored().toDouble(), 320);
    EXPECT_EQ(made->sidebar()->width(), 320);
    EXPECT_EQ(made->content()->x(), 320 + 17);

    // A press and release without moving changes and writes nothing.
    defaults->remove(key);
    EXPECT_EQ(drag(*made, {0}), (std::vector<double>{320}));
    EXPECT_FALSE(stored().isValid());

    // The next shell starts where the last one was left.
    drag(*made, {-50});
    EXPECT_EQ(shell()->sidebarWidth(), 270);
}

TEST_F(CorvaneSplitShellWidget, WithoutAKeyTheWidthIsNeitherReadNorWritten) {
    defaults->setValue(key, 350.0);
    auto made = shell(std::nullopt);
    EXPECT_EQ(made->sidebarWidth(), 300);
    drag(*made, {40});
    EXPECT_EQ(made->sidebarWidth(), 340);
    EXPECT_EQ(storedKeys(), QStringList{key});
    EXPECT_EQ(stored().toDouble(), 350);
}

TEST_F(CorvaneSplitShellWidget, CollapseAndExpandKeepTheWidth) {
    auto made = shell();
    drag(*made, {60});
    made->setSidebarCollapsed(true);
    EXPECT_TRUE(made->sidebar()->isHidden());
    EXPECT_TRUE(made->resizeHandle()->isHidden());
    EXPECT_EQ(made->content()->geometry(), QRect(0, 0, 1000, 700));
    made->setSidebarCollapsed(false);
    EXPECT_EQ(made->sidebarWidth(), 360);
    EXPECT_EQ(made->sidebar()->geometry(), QRect(8, 8, 360, 684));
    EXPECT_EQ(made->content()->x(), 360 + 17);
}

TEST_F(CorvaneSplitShellWidget, AnimatedCollapseSlidesTheCardButNeverItsWidth) {
    ManualClock clock;
    ScopedClock scoped(clock);
    auto made = shell();
    made->setSidebarCollapsed(true, true);
    EXPECT_TRUE(made->isSidebarCollapsed());
    clock.advance(100ms);
    EXPECT_FALSE(made->sidebar()->isHidden());
    EXPECT_LT(made->sidebar()->x(), 8);
    EXPECT_GT(made->content()->x(), 0);
    EXPECT_LT(made->content()->x(), 317);
    EXPECT_EQ(made->sidebar()->width(), 300);

    // A drag while it slides in again moves the width at once; only the position eases.
    made->setSidebarCollapsed(false, true);
    clock.advance(50ms);
    drag(*made, {30});
    EXPECT_EQ(made->sidebar()->width(), 330);
    EXPECT_LT(made->sidebar()->x(), 8);
    EXPECT_EQ(made->sidebar()->geometry().right() + 1 + 9, made->content()->x());
    clock.advance(200ms);
    EXPECT_EQ(made->sidebar()->geometry(), QRect(8, 8, 330, 684));
    EXPECT_EQ(made->content()->x(), 330 + 17);

    made->setSidebarCollapsed(true, true);
    clock.advance(200ms);
    EXPECT_TRUE(made->sidebar()->isHidden());
    EXPECT_EQ(made->content()->geometry(), QRect(0, 0, 1000, 700));
}

TEST_F(CorvaneSplitShellWidget, AFloatingSidebarLiesOverTheWholeContent) {
    ManualClock clock;
    ScopedClock scoped(clock);
    auto made = shell();
    made->setSidebarFloating(true);
    EXPECT_TRUE(made->isSidebarFloating());
    // The content keeps the whole shell; the card lies over it, above it, and cannot be
    // resized there.
    EXPECT_EQ(made->content()->geometry(), QRect(0, 0, 1000, 700));
    EXPECT_EQ(made->sidebar()->geometry(), QRect(8, 8, 300, 684));
    EXPECT_TRUE(made->resizeHandle()->isHidden());
    EXPECT_EQ(made->childAt(100, 100), made->sidebar());
    EXPECT_EQ(made->minimumSizeHint(), made->content()->minimumSizeHint().expandedTo({0, 0}));

    // Collapsing slides the card out over the content, which stays where it is.
    made->setSidebarCollapsed(true, true);
    clock.advance(100ms);
    EXPECT_LT(made->sidebar()->x(), 8);
    EXPECT_EQ(made->content()->geometry(), QRect(0, 0, 1000, 700));
    clock.advance(100ms);
    EXPECT_TRUE(made->sidebar()->isHidden());
    made->setSidebarCollapsed(false, true);
    clock.advance(200ms);
    EXPECT_EQ(made->sidebar()->geometry(), QRect(8, 8, 300, 684));
    EXPECT_TRUE(made->resizeHandle()->isHidden());

    // Docked again, it takes its room back, and its handle.
    made->setSidebarFloating(false);
    EXPECT_EQ(made->content()->x(), 300 + 17);
    EXPECT_FALSE(made->resizeHandle()->isHidden());
}

// Under a translucent tint (the "Soft" look: black at 0.4, the card at 0.35) the floating card
// is opaque: what lies under it never shows through its texts.
TEST_F(CorvaneSplitShellWidget, AFloatingCardIsOpaqueUnderATranslucentTint) {
    auto made = std::make_unique<CorvaneSplitShell>(
        CorvaneSplitShell::Config{.baseColor = Color::black(),
                                  .baseOpacity = 0.4,
                                  .sidebarCardColor = Color::black(),
                                  .sidebarCardOpacity = 0.35,
                                  .persistenceKey = std::nullopt});
    made->resize(1000, 700);
    made->setSidebarFloating(true);
    made->show();
    // The window drawn on nothing: where the card is, nothing under it shows through.
    QImage image(made->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    made->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QRect card = made->cardGeometry();
    ASSERT_LT(qAlpha(image.pixel(card.right() + 100, 300)), 255) << "the window is translucent";
    for (const QPoint at :
         {card.center(), card.topLeft() + QPoint(30, 30), card.bottomRight() - QPoint(30, 30)}) {
        EXPECT_EQ(qAlpha(image.pixel(at)), 255) << at.x() << "," << at.y();
    }
}
