// The status bar: the written dot, the time since the last write in words that keep up, and
// the refresh button.
#include "host/views/main/tests/HostViewsFixture.h"

#include "designkit/Color.h"
#include "designkit/CorvaneStatusDot.h"
#include "designkit/CorvaneTooltip.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/main/StatusBarView.h"

#include <QAbstractButton>
#include <QLabel>

namespace tandrel {
namespace {

using namespace std::chrono_literals;
using StatusBar = testing::HostViewsTest;

TEST(StatusBarTime, CountsUpInTheLargestUnitThatFits) {
    const platform::Clock::WallTime then{std::chrono::seconds(1'700'000'000)};
    struct Case {
        std::chrono::nanoseconds elapsed;
        const char *words;
        std::chrono::nanoseconds untilChange;
    };
    const Case cases[] = {
        {0s, "a moment", 1s},
        {999ms, "a moment", 1ms},
        {1s, "1 second", 1s},
        {1500ms, "1 second", 500ms},
        {59s, "59 seconds", 1s},
        {60s, "1 minute", 60s},
        {119s, "1 minute", 1s},
        {45min, "45 minutes", 60s},
        {1h, "1 hour", 1h},
        {23h + 59min, "23 hours", 1min},
        {49h, "2 days", 23h},
        // A clock set back: the write is still just now.
        {-5s, "a moment", 6s},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(RelativeTimeText::since(then, then + c.elapsed), c.words) << c.elapsed.count();
        EXPECT_EQ(RelativeTimeText::untilChange(then, then + c.elapsed), c.untilChange)
            << c.elapsed.count();
    }
}

TEST_F(StatusBar, SaysUpdatedOnlyAfterAWriteAndKeepsTheTimeCurrent) {
    StatusBarView bar(state(), clock, clock->timers());
    bar.show();
    EXPECT_FALSE(bar.updatedLabel()->isVisible());
    EXPECT_EQ(bar.dot()->color(), corvane::Color::corvaneTextTertiary());
    EXPECT_EQ(bar.statusLabel()->text(), "No libraries loaded");

    loaded({solo_});
    ASSERT_TRUE(state().snapshotWritten());
    EXPECT_EQ(bar.dot()->color(), corvane::Color::green());
    EXPECT_TRUE(bar.updatedLabel()->isVisible());
    EXPECT_EQ(bar.updatedLabel()->text(), "Updated a moment ago");
    EXPECT_EQ(bar.statusLabel()->text().toStdString(), state().statusMessage());
    clock->advance(2s);
    EXPECT_EQ(bar.updatedLabel()->text(), "Updated 2 seconds ago");
    clock->advance(3min);
    EXPECT_EQ(bar.updatedLabel()->text(), "Updated 3 minutes ago");

    state().setActiveTimeline(std::nullopt);
    EXPECT_EQ(bar.dot()->color(), corvane::Color::corvaneTextTertiary());
}

TEST_F(StatusBar, TheRefreshButtonRestsWhileARefreshRuns) {
    StatusBarView bar(state(), clock, clock->timers());
    bar.show();
    QAbstractButton *refresh = bar.refreshButton();
    EXPECT_TRUE(refresh->isEnabled());
    EXPECT_EQ(refresh->accessibleName(), "Refresh Now");
    auto *tooltip = refresh->findChild<corvane::CorvaneTooltipModifier *>();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(tooltip->text().toStdString(),
              "Re-scan now — FCP can sit on an edit (e.g. deleting/disabling a clip) for a while "
              "before it hits disk and our auto-refresh sees it.");
    EXPECT_EQ(tooltip->shortcut(), std::nullopt);
    EXPECT_EQ(tooltip->edge(), corvane::Edge::bottom);

    StatusBarContent refreshing = bar.content();
    refreshing.isRefreshing = true;
    bar.display(refreshing);
    EXPECT_FALSE(refresh->isEnabled());
    bar.display(StatusBarContent::of(state(), clock->now()));
    EXPECT_TRUE(refresh->isEnabled());

    // With no library to scan, a click changes nothing.
    refresh->click();
    platform::MainQueue::runPending();
    EXPECT_TRUE(state().watchedLibraries().empty());
    EXPECT_EQ(bar.statusLabel()->text(), "No libraries loaded");
}

} // namespace
} // namespace tandrel
