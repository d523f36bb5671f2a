// The sidebar: which of its cases shows, as the libraries, the served timeline and the
// window's wish for the full list change; the empty state and the served timeline's card.
#include "host/views/main/tests/HostViewsFixture.h"

#include "core/snapshot/SnapshotWriter.h"
#include "designkit/CorvaneTooltip.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/TextButton.h"
#include "host/views/main/AutoDetectedStatusView.h"
#include "host/views/main/EmptyStateView.h"
#include "host/views/main/ProjectStartTCView.h"
#include "host/views/main/SidebarLayout.h"
#include "host/views/main/SidebarView.h"
#include "host/views/main/TemplateGlyphView.h"
#include "host/views/main/TimelineListView.h"
#include "host/views/menubar/MenuBarContent.h"

#include <QLabel>

#include <QAbstractButton>

namespace tandrel {
namespace {

using Main = SidebarLayout::Main;
using Sidebar = testing::HostViewsTest;

TimelineChoice choice(const std::string &id, const std::string &name) {
    return {id, name, "Library", "Event", "Event", 3};
}

// The layout as its three visible facts and whether the field shows.
struct Shown {
    Main main;
    bool hideButton;
    bool startTC;
    friend bool operator==(const Shown &, const Shown &) = default;
};

Shown shown(const SidebarLayout &layout) {
    return {layout.main, layout.showsHideLibraryList, layout.showsProjectStartTC};
}

TEST(SidebarLayout, TheCasesFollowLibrariesTheActiveIdAndTheWindowsWish) {
    const std::vector<TimelineChoice> timelines{choice("a", "Alpha"), choice("b", "Beta")};
    struct Case {
        const char *what;
        bool libraries;
        std::vector<TimelineChoice> timelines;
        std::optional<std::string> active;
        bool manual;
        Shown expected;
    };
    const Case cases[] = {
        {"no library", false, {}, std::nullopt, false, {Main::emptyState, false, false}},
        {"no library, an id still set: the field under the empty state",
         false,
         {},
         "a",
         false,
         {Main::emptyState, false, true}},
        {"a library, nothing served",
         true,
         timelines,
         std::nullopt,
         false,
         {Main::libraryList, false, false}},
        {"a timeline served", true, timelines, "b", false, {Main::autoDetected, false, true}},
        {"served, and the full list asked for",
         true,
         timelines,
         "b",
         true,
         {Main::libraryList, true, true}},
        {"the wish stays while nothing is served: no hide button",
         true,
         timelines,
         std::nullopt,
         true,
         {Main::libraryList, false, false}},
        {"an id no timeline has: full list, no hide button, the field",
         true,
         timelines,
         "gone",
         false,
         {Main::libraryList, false, true}},
        {"ids compare exactly", true, timelines, "B", false, {Main::libraryList, false, true}},
    };
    for (const Case &c : cases) {
        const SidebarLayout layout = sidebarLayout(c.libraries, c.timelines, c.active, c.manual);
        EXPECT_EQ(shown(layout), c.expected) << c.what;
    }
    EXPECT_EQ(activeTimelineChoice(timelines, "b"), timelines[1]);
    EXPECT_EQ(activeTimelineChoice(timelines, std::nullopt), std::nullopt);
}

TEST_F(Sidebar, MovesBetweenItsCasesAsTheTransitionTableSays) {
    SidebarView sidebar(state(), preferences, picker);
    const auto now = [&] { return shown(sidebar.currentLayout()); };
    const auto press = [&](const char *title) {
        for (auto *button : sidebar.findChildren<TextButton *>()) {
            if (button->text() == QString::fromUtf8(title)) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << title;
    };
    EXPECT_EQ(now(), (Shown{Main::emptyState, false, false}));
    EXPECT_NE(sidebar.findChild<EmptyStateView *>(), nullptr);

    // The first library: the list while it loads; its two timelines serve none by themselves.
    loaded({pair_});
    EXPECT_EQ(now(), (Shown{Main::libraryList, false, false}));
    state().setActiveTimeline(timelineID("Alpha"));
    EXPECT_EQ(now(), (Shown{Main::autoDetected, false, true}));
    ASSERT_NE(sidebar.findChild<AutoDetectedStatusView *>(), nullptr);
    EXPECT_EQ(sidebar.findChild<AutoDetectedStatusView *>()->timeline().name, "Alpha");
    EXPECT_NE(sidebar.findChild<ProjectStartTCView *>(), nullptr);

    press(AutoDetectedStatusView::showAllLibrariesTitle);
    EXPECT_EQ(now(), (Shown{Main::libraryList, true, true}));
    EXPECT_EQ(sidebar.findChild<AutoDetectedStatusView *>(), nullptr);
    // Another timeline picked while the list is asked for: the list stays.
    state().setActiveTimeline(timelineID("Beta"));
    EXPECT_EQ(now(), (Shown{Main::libraryList, true, true}));
    press(SidebarView::hideLibraryListTitle);
    EXPECT_EQ(now(), (Shown{Main::autoDetected, false, true}));
    EXPECT_EQ(sidebar.findChild<AutoDetectedStatusView *>()->timeline().name, "Beta");

    state().setActiveTimeline(std::nullopt);
    EXPECT_EQ(now(), (Shown{Main::libraryList, false, false}));
    EXPECT_EQ(sidebar.findChild<ProjectStartTCView *>(), nullptr);

    state().setActiveTimeline(timelineID("Beta"));
    state().removeLibrary(0);
    EXPECT_EQ(now(), (Shown{Main::emptyState, false, false}));

    // A library with one timeline serves it at once: straight to its card.
    loaded({solo_});
    EXPECT_EQ(now(), (Shown{Main::autoDetected, false, true}));
}

TEST_F(Sidebar, TheCardShortensLongNamesAndKeepsEmptyLines) {
    const std::string longName(200, 'W');
    AutoDetectedStatusView card({"id", longName, "", "", "", 0}, true, [] {});
    card.resize(260, 200);
    card.show();
    EXPECT_TRUE(card.line(0)->isElided());
    // The whole name shows on hover.
    auto *tooltip = card.line(0)->findChild<corvane::CorvaneTooltipModifier *>();
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(tooltip->text().toStdString(), longName);
    // Library and event lines are there, glyph only.
    EXPECT_EQ(card.line(1)->text(), "");
    EXPECT_EQ(card.line(2)->text(), "");
    EXPECT_EQ(card.findChildren<TemplateGlyphView *>().size(), 3);
    for (const char *glyph : {"FCPSequenceGlyph", "FCPLibraryGlyph", "FCPEventGlyph"}) {
        EXPECT_TRUE(TemplateGlyphView::exists(QString::fromUtf8(glyph))) << glyph;
    }
}

// A snapshot that could not be written (its folder refused, a full disk) burns nothing in: the
// card, the timeline's row and the menu-bar extra claim no burn-in while the status line says
// why, and claim it again once a write of the same timeline succeeds.
TEST_F(Sidebar, NothingSaysBurningInWhileTheSnapshotIsNotWritten) {
    bool refused = true;
    services.writeSnapshot = [&refused](const TandrelSnapshot &snapshot) {
        if (refused) {
            throw std::runtime_error("\"/shared/Tandrel\" is refused: it belongs to another "
                                     "user (nobody)");
        }
        SnapshotWriter::write(snapshot);
    };
    loaded({pair_});
    preferences.setValue(QString::fromUtf8(Preferences::expandedEventsKey),
                         QString::fromUtf8("Pair\x02"
                                           "Day 1"));
    SidebarView sidebar(state(), preferences, picker);
    TimelineListView list(state(), preferences);
    const MenuBarModel menu(state());
    const auto activeLine = [&] {
        for (const MenuBarItem &item : menu.items()) {
            if (item.text.starts_with("Active: ")) {
                return true;
            }
        }
        return false;
    };
    const auto alphaRow = [&]() -> const TimelineRow * {
        for (const TimelineCard *card : list.cards()) {
            for (const TimelineRow *row : card->rows()) {
                if (row->content().timeline.name == "Alpha") {
                    return row;
                }
            }
        }
        return nullptr;
    };
    const auto trailing = [&] {
        const TimelineRow *row = alphaRow();
        return row != nullptr && row->trailingLabel() != nullptr
                   ? static_cast<QLabel *>(row->trailingLabel())->text().toStdString()
                   : std::string("(none)");
    };

    state().setActiveTimeline(timelineID("Alpha"));
    EXPECT_EQ(state().statusMessage(), "Snapshot write failed: \"/shared/Tandrel\" is refused: it "
                                       "belongs to another user (nobody)");
    // Still the chosen timeline: its card, its highlighted row.
    const AutoDetectedStatusView *card = sidebar.findChild<AutoDetectedStatusView *>();
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->timeline().name, "Alpha");
    EXPECT_EQ(card->burningInLabel(), nullptr);
    ASSERT_NE(alphaRow(), nullptr);
    EXPECT_TRUE(alphaRow()->content().isActive);
    EXPECT_EQ(trailing(), "2 edits");
    EXPECT_FALSE(activeLine());

    // The same timeline written at last, on the next change that rewrites it.
    refused = false;
    state().setProjectStartTimecode("01:00:00:00");
    ASSERT_TRUE(state().snapshotWritten());
    card = sidebar.findChild<AutoDetectedStatusView *>();
    ASSERT_NE(card, nullptr);
    ASSERT_NE(card->burningInLabel(), nullptr);
    EXPECT_EQ(static_cast<const QLabel *>(card->burningInLabel())->text(), "burning in");
    EXPECT_EQ(trailing(), "burning in");
    EXPECT_TRUE(activeLine());

    // And refused again: the claims go with the write.
    refused = true;
    state().setProjectStartTimecode("02:00:00:00");
    EXPECT_FALSE(state().snapshotWritten());
    EXPECT_EQ(sidebar.findChild<AutoDetectedStatusView *>()->burningInLabel(), nullptr);
    EXPECT_EQ(trailing(), "2 edits");
    EXPECT_FALSE(activeLine());
}

TEST_F(Sidebar, TheEmptyStatesAddLibraryOpensTheSameFolderDialog) {
    EmptyStateView empty(state(), picker);
    auto *add = empty.findChild<QAbstractButton *>(QStringLiteral("addLibraryButton"));
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->text(), "Add Library...");
    add->click();
    EXPECT_TRUE(state().watchedLibraries().empty());
    picker.answer = pair_;
    add->click();
    EXPECT_EQ(picker.asked, 2);
    ASSERT_EQ(state().watchedLibraries().size(), 1u);
    EXPECT_EQ(state().watchedLibraries()[0].name, "Pair");
}

} // namespace
} // namespace tandrel
