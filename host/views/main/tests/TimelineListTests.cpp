// The timeline list: cards by library and event, the open cards as the user defaults keep
// them, the texts of each row, and the list on screen serving and releasing timelines.
#include "host/views/main/tests/HostViewsFixture.h"

#include "designkit/CorvaneChipChrome.h"
#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneTooltip.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/main/TimelineListContent.h"
#include "host/views/main/SidebarView.h"
#include "host/views/main/TimelineListView.h"

#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

namespace tandrel {
namespace {

using Content = TimelineListContent;
using TimelineListWidget = testing::HostViewsTest;

TimelineChoice timeline(std::string id, std::string name, std::string library, std::string event,
                        std::string eventPath = {}, int64_t edits = 3) {
    if (eventPath.empty()) {
        eventPath = event;
    }
    return {std::move(id), std::move(name), std::move(library), std::move(event),
            std::move(eventPath), edits};
}

std::vector<std::string> keys(const std::vector<TimelineGroup> &groups) {
    std::vector<std::string> keys;
    for (const TimelineGroup &group : groups) {
        keys.push_back(group.groupKey);
    }
    return keys;
}

TEST(TimelineList, GroupsByLibraryAndEventInTheOrderTimelinesCome) {
    const std::vector<TimelineChoice> timelines{
        timeline("1", "Cut", "Feature", "Day 1"),
        timeline("2", "Cut", "Trailer", "Day 1"),
        timeline("3", "Alt", "Feature", "Day 2"),
        // The same event of the same library again, further down: the same card.
        timeline("4", "Rough", "Feature", "Day 1"),
    };
    const std::vector<TimelineGroup> groups = Content::groupedByEvent(timelines);
    // An event name in two libraries is two cards whose keys differ only in the library.
    EXPECT_EQ(keys(groups), (std::vector<std::string>{"Feature\x02" "Day 1", "Trailer\x02" "Day 1",
                                                      "Feature\x02" "Day 2"}));
    ASSERT_EQ(groups[0].timelines.size(), 2u);
    EXPECT_EQ(groups[0].timelines[1].id, "4");
    EXPECT_EQ(groups[1].library, "Trailer");
    EXPECT_EQ(groups[1].eventName, "Day 1");
    EXPECT_TRUE(Content::groupedByEvent({}).empty());
}

TEST(TimelineList, ReadsTheOpenCardsAndRewritesThemCleanOnToggle) {
    const std::string a = "Lib\x02" "A";
    const std::string b = "Lib\x02" "B";
    struct Case {
        const char *what;
        std::string stored;
        std::set<std::string> open;
    };
    const Case reads[] = {
        {"nothing stored", "", {}},
        {"one key", a, {a}},
        {"two keys", a + '\x01' + b, {a, b}},
        {"separators side by side, leading and trailing",
         std::string("\x01\x01") + b + "\x01\x01" + a + "\x01",
         {a, b}},
        {"only separators", "\x01\x01", {}},
        {"a key twice", a + '\x01' + a, {a}},
    };
    for (const Case &c : reads) {
        EXPECT_EQ(Content::expandedEvents(c.stored), c.open) << c.what;
    }

    struct Toggle {
        const char *what;
        std::string stored;
        std::string key;
        std::string written;
    };
    const std::string gone = "Old\x02" "Event";
    // Code-point order: a key past U+FFFF sorts after one at U+FFFD, which UTF-16 order
    // would put the other way round.
    const std::string replacement = "\xEF\xBF\xBD";
    const std::string emoji = "\xF0\x9F\x98\x80";
    const Toggle toggles[] = {
        {"the first card opens", "", a, a},
        {"keys are sorted, stray separators dropped", "\x01\x01" + b + "\x01", a,
         a + '\x01' + b},
        {"a card closes", a + '\x01' + b, a, b},
        {"the last card closes", a, a, ""},
        {"the key of a card that is gone stays", gone, a, a + '\x01' + gone},
        {"in code-point order", emoji, replacement, replacement + '\x01' + emoji},
        {"upper case before lower case", "b", "B", "B\x01" "b"},
    };
    for (const Toggle &t : toggles) {
        EXPECT_EQ(Content::toggledExpanded(t.stored, t.key), t.written) << t.what;
    }
}

TEST(TimelineList, DuplicatesSourcePathsAndTrailingLabels) {
    EXPECT_EQ(Content::duplicatedNames({timeline("1", "Cut", "L", "E"),
                                        timeline("2", "cut", "L", "E"),
                                        timeline("3", "Cut", "L", "E"),
                                        timeline("4", "Alt", "L", "E")}),
              (std::set<std::string>{"Cut"}))
        << "names that differ in case are no duplicates";

    struct Path {
        const char *what;
        std::string event;
        std::string eventPath;
        std::string shown;
    };
    const Path paths[] = {
        {"a nested event", "Day 1", "Day 1 / Selects", "Selects"},
        {"deeper", "Day 1", "Day 1 / Selects / B-Roll", "Selects / B-Roll"},
        {"the event itself", "Day 1", "Day 1", "Event"},
        {"no blanks round the slash", "Day 1", "Day 1/Selects", "Event"},
        {"another event's path", "Day 1", "Day 2 / Selects", "Event"},
        {"the prefix and nothing after it", "Day 1", "Day 1 / ", ""},
    };
    for (const Path &p : paths) {
        EXPECT_EQ(Content::sourcePath(timeline("1", "Cut", "L", p.event, p.eventPath)), p.shown)
            << p.what;
    }

    struct Trailing {
        int64_t edits;
        bool burningIn;
        std::optional<std::string> label;
    };
    const Trailing trailing[] = {
        {0, true, "burning in"}, {12, true, "burning in"}, {0, false, std::nullopt},
        {1, false, "1 edits"},   {12, false, "12 edits"},
    };
    for (const Trailing &t : trailing) {
        EXPECT_EQ(Content::trailingLabel(timeline("1", "Cut", "L", "E", "E", t.edits), t.burningIn),
                  t.label)
            << t.edits << (t.burningIn ? " burning in" : "");
    }
}

TEST(TimelineList, CardsNameLibrariesOnlyWhenTwoAreWatchedAndShowRowsOnlyWhenOpen) {
    const std::vector<TimelineChoice> timelines{
        timeline("1", "Cut", "Feature", "Day 1", "Day 1 / Selects"),
        timeline("2", "Cut", "Feature", "Day 1", "Day 1"),
        timeline("3", "Cut", "Trailer", "Day 1", "Day 1 / Selects", 0),
    };
    const std::string open = "Feature\x02" "Day 1\x01Trailer\x02" "Day 1";

    const auto alone = Content::cards(timelines, "3", true, 1, open);
    ASSERT_EQ(alone.size(), 2u);
    EXPECT_EQ(alone[0].libraryLine, std::nullopt);
    EXPECT_EQ(alone[0].rows[0].libraryLine, std::nullopt);

    const auto two = Content::cards(timelines, "3", true, 2, open);
    EXPECT_EQ(two[0].libraryLine, "Feature");
    ASSERT_EQ(two[0].rows.size(), 2u);
    EXPECT_EQ(two[0].rows[0].libraryLine, "Feature");
    // Two rows named "Cut" in one card show where they live; the third "Cut" is alone in its
    // card.
    EXPECT_EQ(two[0].rows[0].sourcePath, "Selects");
    EXPECT_EQ(two[0].rows[1].sourcePath, "Event");
    EXPECT_EQ(two[1].rows[0].sourcePath, std::nullopt);
    EXPECT_TRUE(two[1].rows[0].isActive);
    EXPECT_EQ(two[1].rows[0].trailingLabel, "burning in");
    EXPECT_EQ(two[0].rows[0].trailingLabel, "3 edits");
    // Chosen, its snapshot not written: still the active row, its edits (none here) in place
    // of the claim.
    const auto unwritten = Content::cards(timelines, "3", false, 2, open);
    EXPECT_TRUE(unwritten[1].rows[0].isActive);
    EXPECT_FALSE(unwritten[1].rows[0].isBurningIn);
    EXPECT_EQ(unwritten[1].rows[0].trailingLabel, std::nullopt);
    EXPECT_TRUE(two[1].rows[0].isBurningIn);

    const auto closed = Content::cards(timelines, "3", true, 2, "");
    EXPECT_FALSE(closed[0].isExpanded);
    EXPECT_TRUE(closed[0].rows.empty());
    EXPECT_EQ(closed[0].timelineCount, "2");
    // Ids compare exactly.
    EXPECT_FALSE(Content::cards(timelines, std::string("3 "), true, 2, open)[1].rows[0].isActive);
}

TEST_F(TimelineListWidget, TheOpenCardsSurviveTheHostsSettingsFile) {
    const QString key = QString::fromUtf8(Preferences::expandedEventsKey);
    const QString stored = QString::fromUtf8("Feature\x02" "Day 1\x01Trailer\x02" "Day 1 \xC3\xA9");
    Preferences written(platform::SettingsKeyValueStore::standardUserDefaults());
    written.setValue(key, stored);
    // Read back from a copy of the file, which no settings object of this process has seen:
    // what the next launch reads.
    const QString file =
        QSettings(QStringLiteral("Ostrevale"), QStringLiteral("Embrik Host")).fileName();
    const QString copy = settingsFolder.filePath(QStringLiteral("next-launch.conf"));
    ASSERT_TRUE(QFile::copy(file, copy));
    Preferences read(platform::SettingsKeyValueStore::iniFile(copy));
    EXPECT_EQ(read.text(key, {}), stored);
    EXPECT_EQ(Content::expandedEvents(read.text(key, {}).toStdString()).size(), 2u);
}

// The list's cards and rows as they are on screen.
const TimelineRow *row(const TimelineListView &list, const std::string &name) {
    for (const TimelineCard *card : list.cards()) {
        for (const TimelineRow *row : card->rows()) {
            if (row->content().timeline.name == name) {
                return row;
            }
        }
    }
    return nullptr;
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(TimelineListWidget, AHeaderClickTogglesTheCardForEveryWindowAndPersists) {
    loaded({pair_});
    TimelineListView list(state(), preferences);
    TimelineListView otherWindow(state(), preferences);
    ASSERT_EQ(list.cards().size(), 1u);
    TimelineCardHeader *header = list.cards()[0]->header();
    EXPECT_FALSE(header->isExpanded());
    ASSERT_NE(header->countLabel(), nullptr);
    EXPECT_EQ(static_cast<QLabel *>(header->countLabel())->text(), "2");
    EXPECT_EQ(header->libraryLabel(), nullptr) << "one library: no library line";
    EXPECT_TRUE(list.cards()[0]->rows().empty());

    header->click();
    settle();
    const QString key = QString::fromUtf8(Preferences::expandedEventsKey);
    EXPECT_EQ(preferences.text(key, {}), QString::fromUtf8("Pair\x02" "Day 1"));
    for (const TimelineListView *view : {&list, &otherWindow}) {
        ASSERT_EQ(view->cards().size(), 1u);
        EXPECT_TRUE(view->cards()[0]->header()->isExpanded());
        EXPECT_EQ(view->cards()[0]->header()->countLabel(), nullptr);
        EXPECT_EQ(view->cards()[0]->rows().size(), 2u);
    }

    list.cards()[0]->header()->click();
    settle();
    EXPECT_EQ(preferences.text(key, {}), "");
    EXPECT_TRUE(otherWindow.cards()[0]->rows().empty());
}

TEST_F(TimelineListWidget, ACardSlidesOpenAndClosedWhileItsChevronTurns) {
    corvane::ManualClock kitClock;
    corvane::ScopedClock scopedKitClock(kitClock);
    loaded({pair_});
    TimelineListView list(state(), preferences);
    TimelineListView otherWindow(state(), preferences);
    list.resize(300, 400);
    list.show();
    const auto card = [&] { return list.cards()[0]; };
    const auto height = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        return card()->sizeHint().height();
    };
    const int closed = height();

    card()->header()->click();
    settle();
    // At once: open, its rows there but not yet in view; the other window's card is open.
    EXPECT_EQ(card()->rows().size(), 2u);
    EXPECT_EQ(height(), closed);
    EXPECT_EQ(card()->header()->chevronAngle(), 0);
    EXPECT_EQ(otherWindow.cards()[0]->openness(), 1);
    // Half way in time, on its way: the rows part in view, the chevron part turned.
    kitClock.advance(TimelineCard::toggleSlide / 2);
    EXPECT_GT(card()->openness(), 0.2);
    EXPECT_LT(card()->openness(), 0.8);
    EXPECT_GT(height(), closed);
    EXPECT_NEAR(card()->header()->chevronAngle(), 90 * card()->openness(), 1e-9);
    kitClock.advance(TimelineCard::toggleSlide / 2);
    EXPECT_EQ(card()->openness(), 1);
    EXPECT_EQ(card()->header()->chevronAngle(), 90);
    const int open = height();
    EXPECT_GT(open, closed + 40);

    // Closing: the rows slide out and take no clicks on the way.
    card()->header()->click();
    settle();
    EXPECT_TRUE(card()->rows().empty());
    EXPECT_EQ(height(), open);
    kitClock.advance(TimelineCard::toggleSlide / 3);
    EXPECT_LT(height(), open);
    EXPECT_GT(height(), closed);
    kitClock.advance(TimelineCard::toggleSlide);
    settle();
    EXPECT_EQ(height(), closed);
    EXPECT_EQ(card()->header()->chevronAngle(), 0);
    EXPECT_TRUE(card()->findChildren<TimelineRow *>().empty());
}

TEST_F(TimelineListWidget, ARowClickServesItsTimelineAndASecondReleasesIt) {
    loaded({pair_});
    preferences.setValue(QString::fromUtf8(Preferences::expandedEventsKey),
                         QString::fromUtf8("Pair\x02" "Day 1"));
    TimelineListView list(state(), preferences);
    list.resize(300, 400);
    list.show();
    ASSERT_NE(row(list, "Alpha"), nullptr);
    EXPECT_EQ(static_cast<QLabel *>(row(list, "Alpha")->trailingLabel())->text(), "2 edits");

    const auto click = [&](const char *name) {
        // Where a user clicks: on the name, which passes the press to its row.
        const ElidedLabel *label = row(list, name)->nameLabel();
        QTest::mouseClick(const_cast<ElidedLabel *>(label), Qt::LeftButton, {},
                          label->rect().center());
        settle();
    };
    click("Alpha");
    EXPECT_EQ(state().activeTimelineID(), timelineID("Alpha"));
    const TimelineRow *served = row(list, "Alpha");
    EXPECT_TRUE(served->content().isActive);
    EXPECT_TRUE(served->chip()->isSelected());
    EXPECT_EQ(static_cast<QLabel *>(served->trailingLabel())->text(), "burning in");

    // Another row moves the burn-in in one step.
    click("Beta");
    EXPECT_EQ(state().activeTimelineID(), timelineID("Beta"));
    EXPECT_FALSE(row(list, "Alpha")->content().isActive);

    click("Beta");
    EXPECT_EQ(state().activeTimelineID(), std::nullopt);
    EXPECT_FALSE(row(list, "Beta")->chip()->isSelected());
    EXPECT_EQ(static_cast<QLabel *>(row(list, "Beta")->trailingLabel())->text(), "4 edits");

    // A short name's label is as wide as its text, so its tooltip centres on the name, not on
    // the row's width.
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
    }
    const ElidedLabel *name = row(list, "Alpha")->nameLabel();
    EXPECT_EQ(name->width(), name->sizeHint().width());
    EXPECT_LT(name->width(), row(list, "Alpha")->width() / 2);
}

// A click on a row far down the sidebar's list serves it where it is: the list, built again,
// keeps its place, so the row just chosen stays in view.
TEST_F(TimelineListWidget, AClickFarDownKeepsTheListWhereItWas) {
    testing::ScratchFolder folder;
    std::vector<std::pair<std::string, int>> timelines;
    for (int i = 1; i <= 30; ++i) {
        timelines.emplace_back("Cut " + std::to_string(i), 2);
    }
    const std::filesystem::path many =
        sample::SampleLibraryWriter::write(testing::describedLibrary("Many", timelines), folder.path());
    // Served, with the lists asked for: picking another row, or releasing it, keeps them.
    loaded({many}).setActiveTimeline(timelineID("Cut 1"));
    preferences.setValue(QString::fromUtf8(Preferences::expandedEventsKey),
                         QString::fromUtf8("Many\x02" "Day 1"));
    ContentView &window = mainWindow();
    window.resize(ContentView::defaultWidth, ContentView::minimumHeight);
    window.findChild<SidebarView *>()->setShowManualLibraryPicker(true);
    const auto settleAll = [] {
        for (int round = 0; round < 4; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    };
    settleAll();
    auto *list = window.findChild<TimelineListView *>();
    ASSERT_NE(list, nullptr);
    QScrollBar *bar = list->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 100) << "the list does not scroll";
    bar->setValue(bar->maximum());
    const int scrolled = bar->value();
    for (const char *action : {"serving", "releasing"}) {
        SCOPED_TRACE(action);
        ASSERT_NE(row(*list, "Cut 30"), nullptr);
        const ElidedLabel *label = row(*list, "Cut 30")->nameLabel();
        QTest::mouseClick(const_cast<ElidedLabel *>(label), Qt::LeftButton, {},
                          label->rect().center());
        settleAll();
        ASSERT_EQ(window.findChild<TimelineListView *>(), list);
        if (std::string(action) == "serving") {
            EXPECT_EQ(bar->value(), scrolled);
        } else {
            // The start timecode goes: the list grows, its end staying at the bottom.
            EXPECT_GT(bar->value(), 0);
        }
        const TimelineRow *chosen = row(*list, "Cut 30");
        const QRect inView(chosen->mapTo(list->viewport(), QPoint(0, 0)), chosen->size());
        EXPECT_TRUE(list->viewport()->rect().contains(inView)) << "out of view";
    }
}

// A row's trailing label ("burning in", or its edits) stands at the row's end, away from the
// name, whether the row has a line under its name (two libraries watched) or not (one).
TEST_F(TimelineListWidget, TrailingLabelsStandAtTheRowsEndWithOneLibraryOrTwo) {
    loaded({pair_}).setActiveTimeline(timelineID("Alpha"));
    preferences.setValue(QString::fromUtf8(Preferences::expandedEventsKey),
                         QString::fromUtf8("Pair\x02" "Day 1\x01Solo\x02" "Day 1"));
    TimelineListView list(state(), preferences);
    list.resize(300, 400);
    list.show();
    for (const int libraries : {1, 2}) {
        SCOPED_TRACE(libraries);
        if (libraries == 2) {
            state().addLibrary(solo_);
            platform::MainQueue::runPending();
            settle();
        }
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::sendPostedEvents();
        }
        int rows = 0;
        for (const TimelineCard *card : list.cards()) {
            for (const TimelineRow *row : card->rows()) {
                SCOPED_TRACE(row->content().timeline.name);
                ASSERT_NE(row->trailingLabel(), nullptr);
                EXPECT_EQ(row->libraryLabel() != nullptr, libraries == 2);
                // The row's line, inside the chip's padding: the label ends where it ends.
                const QWidget *trailing = row->trailingLabel();
                const QWidget *line = trailing->parentWidget();
                EXPECT_EQ(trailing->geometry().right(), line->width() - 1);
                EXPECT_EQ(trailing->width(), trailing->sizeHint().width()) << "its text is not";
                EXPECT_GT(line->width(), row->width() - 40);
                const QRect name(row->nameLabel()->mapTo(line, QPoint(0, 0)),
                                 row->nameLabel()->size());
                EXPECT_GT(trailing->geometry().left() - name.right(), 60);
                ++rows;
            }
        }
        EXPECT_EQ(rows, libraries == 1 ? 2 : 3);
    }
}

TEST_F(TimelineListWidget, WithASecondLibraryHeadersAndRowsNameTheirLibrary) {
    loaded({pair_, solo_});
    preferences.setValue(QString::fromUtf8(Preferences::expandedEventsKey),
                         QString::fromUtf8("Pair\x02" "Day 1\x01Solo\x02" "Day 1"));
    TimelineListView list(state(), preferences);
    ASSERT_EQ(list.cards().size(), 2u);
    for (const TimelineCard *card : list.cards()) {
        ASSERT_NE(card->header()->libraryLabel(), nullptr);
        for (const TimelineRow *row : card->rows()) {
            ASSERT_NE(row->libraryLabel(), nullptr);
            EXPECT_EQ(row->libraryLabel()->text().toStdString(), row->content().timeline.library);
            // The whole name on hover.
            auto *tooltip = row->nameLabel()->findChild<corvane::CorvaneTooltipModifier *>();
            ASSERT_NE(tooltip, nullptr);
            EXPECT_EQ(tooltip->text().toStdString(), row->content().timeline.name);
        }
    }
}

} // namespace
} // namespace tandrel
