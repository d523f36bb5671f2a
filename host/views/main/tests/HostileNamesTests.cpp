// Names as an attacker writes them into a library, in every view, line and record of the host
// that shows them: one line each, bounded, with their controls shown and never obeyed, and
// nothing they hold reorders or forges the system's own text around them.

#include "core/support/UnicodeText.h"
#include "core/tests/HostileTexts.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/TextElision.h"
#include "host/bridge/ExtensionBridge.h"
#include "host/feedback/FeedbackDiagnostics.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/main/LibrariesBar.h"
#include "host/views/main/TimelineListView.h"
#include "host/views/main/tests/HostViewsFixture.h"
#include "host/views/menubar/MenuBarView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFontMetricsF>
#include <QTest>

#include <algorithm>
#include <set>

namespace tandrel {
namespace {

using testing::HostViewsTest;

// The text as a view hands it to Qt holds no control that Qt would obey: every one is shown,
// but for the isolates a shown name is enclosed in.
bool showsNoRawControl(const QString &text) {
    const std::string utf8 = text.toStdString();
    return withStrayControlsShown(utf8) == utf8;
}

// Hebrew letters and a digit: without an isolate, they would take the count after them along.
const std::string rightToLeft = "\u05E9\u05DC\u05D5\u05DD 2";

class HostileNames : public HostViewsTest {
protected:
    static void SetUpTestSuite() {
        HostViewsTest::SetUpTestSuite();
        std::vector<std::pair<std::string, int>> timelines{{"Sample", 1}, {rightToLeft, 1}};
        for (const auto &hostile : testing::hostileTexts()) {
            timelines.emplace_back(hostile.text, 1);
        }
        hostile_ = sample::SampleLibraryWriter::write(
            testing::describedLibrary("Hostile", timelines), libraries_->path());
    }
    inline static std::filesystem::path hostile_;
};

TEST_F(HostileNames, EachRowShowsItsNameOnOneBoundedLineApartFromTheOthers) {
    loaded({hostile_});
    preferences.setValue(QString::fromUtf8(Preferences::expandedEventsKey),
                         QString::fromUtf8("Hostile\x02"
                                           "Day 1"));
    TimelineListView list(state(), preferences);
    list.resize(300, 900);
    list.show();
    ASSERT_EQ(list.cards().size(), 1u);
    const std::vector<TimelineRow *> &rows = list.cards().front()->rows();
    ASSERT_EQ(rows.size(), testing::hostileTexts().size() + 2);
    std::set<QString> names;
    for (const TimelineRow *row : rows) {
        const ElidedLabel *name = row->nameLabel();
        const std::string what = row->content().timeline.name.substr(0, 40);
        EXPECT_TRUE(showsNoRawControl(name->text())) << what;
        EXPECT_TRUE(showsNoRawControl(name->shownText()))
            << what << ": " << name->shownText().toStdString();
        EXPECT_LE(graphemeCount(name->text().toStdString()), shownNameCharacters + 2) << what;
        // Shown whole on hover, as one bounded line too.
        const auto *tooltip = name->findChild<corvane::CorvaneTooltipModifier *>();
        ASSERT_NE(tooltip, nullptr) << what;
        EXPECT_EQ(tooltip->text(), name->text()) << what;
        names.insert(name->text());
    }
    // No hostile row passes for the real "Sample": its second line shows as an escape. (Those
    // that differ only beyond what a name shows of them show alike: "Wide Shot" and tens of
    // thousands of marks.)
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const TimelineRow *row) {
                                return row->nameLabel()->text() == QStringLiteral("Sample");
                            }),
              1);
    EXPECT_TRUE(names.contains(QStringLiteral("Sample\\u{0A}Serving 'Other' (8 timelines)")));
    EXPECT_GE(names.size(), rows.size() - 1);
}

TEST_F(HostileNames, TheStatusLineAndTheTrayKeepTheirOwnWordsInOrder) {
    loaded({hostile_});
    const std::size_t count = state().availableTimelines().size();
    const std::string counted = "' (" + std::to_string(count) + " timelines)";
    MenuBarView menu(state(), {});
    const QFont caption = corvane::CorvaneTextStyle(corvane::CorvaneTextStyle::caption).font();
    for (const TimelineChoice &timeline : state().availableTimelines()) {
        const std::string what = timeline.name.substr(0, 40);
        state().setActiveTimeline(timeline.id);
        platform::MainQueue::runPending();
        const std::string status = state().statusMessage();
        EXPECT_TRUE(status.starts_with("Serving '")) << what;
        EXPECT_TRUE(status.ends_with(counted)) << what << ": " << status.substr(0, 200);
        EXPECT_EQ(withStrayControlsShown(status), status) << what;
        EXPECT_LT(status.size(), 40'000u) << what;
        if (timeline.name == rightToLeft) {
            EXPECT_EQ(status, "Serving '\u2068" + rightToLeft + "\u2069" + counted);
        }
        // The menu is no wider than its bound, so Quit stays on the screen.
        const QFontMetricsF metrics(caption);
        for (QAction *action : menu.actions()) {
            if (action->isSeparator()) {
                continue;
            }
            EXPECT_TRUE(showsNoRawControl(action->text())) << what;
            EXPECT_LE(metrics.horizontalAdvance(action->text()), MenuBarView::maxTextWidth + 1)
                << what;
        }
        const auto active =
            std::find_if(menu.items().begin(), menu.items().end(),
                         [](const MenuBarItem &item) { return item.text.starts_with("Active: "); });
        ASSERT_NE(active, menu.items().end()) << what;
        EXPECT_EQ(active->text, "Active: " + shownName(timeline.name, shownNameCharacters));
    }
    // An "&" is a letter of the name, not a mnemonic.
    EXPECT_EQ(MenuBarView::actionText("Cut & Print", caption), QStringLiteral("Cut && Print"));
}

// The panel publishes a sequence's name as the bridge keeps it; the host still finds the
// timeline of that name, however long.
TEST_F(HostileNames, TheEditorPanelsSequenceFindsItsTimelineHoweverLongItsName) {
    loaded({hostile_});
    std::size_t found = 0;
    for (const auto &hostile : testing::hostileTexts()) {
        // (A name with NUL is read up to it.)
        const auto named = std::find_if(
            state().availableTimelines().begin(), state().availableTimelines().end(),
            [&](const TimelineChoice &timeline) {
                return timeline.name ==
                       elidedLine(utf8Prefix(hostile.text, maxReadTextBytes), shownNameCharacters);
            });
        if (named == state().availableTimelines().end()) {
            continue;
        }
        ++found;
        state().setActiveTimeline(std::nullopt);
        ExtensionBridge::publishActiveSelection(hostile.text, std::nullopt);
        state().applyExtensionSelection();
        EXPECT_EQ(state().activeTimelineID(), named->id) << hostile.what;
    }
    EXPECT_GE(found, testing::hostileTexts().size() - 1);
}

TEST_F(HostileNames, TheFeedbackRecordKeepsItsLinesAndItsSize) {
    for (const auto &hostile : testing::hostileTexts()) {
        const QString name = QString::fromStdString(hostile.text);
        const AppStateSummary summary{1, AppStateSummary::Timeline{name, name},
                                      AppStateSummary::Preset{name, 4}};
        const QString text = summary.text();
        EXPECT_EQ(text.count(u'\n'), 2) << hostile.what;
        EXPECT_LT(text.toUtf8().size(), 120'000) << hostile.what;
        for (const QString &line : text.split(u'\n')) {
            EXPECT_FALSE(testing::holdsControls(line.toStdString())) << hostile.what;
        }
    }
}

// A library's row: its name neither reordered ("Lib exe.fcpbundle x" for an override) nor
// cut to nothing; its tooltip one bounded line for each database that cannot be read, and no
// more than ten of them.
TEST(LibraryRowNames, ShowTheNameAndTheFailureOnBoundedLines) {
    for (const auto &hostile : testing::hostileTexts()) {
        WatchedLibrary library;
        library.name = hostile.text;
        library.isLoaded = true;
        library.unreadableDatabases.assign(12, hostile.text);
        LibraryRow row(library, [] {});
        row.resize(260, 32);
        EXPECT_TRUE(showsNoRawControl(row.nameLabel()->text())) << hostile.what;
        EXPECT_TRUE(showsNoRawControl(row.removeButton()->accessibleName())) << hostile.what;
        const auto *tooltip = row.statusIcon()->findChild<corvane::CorvaneTooltipModifier *>();
        ASSERT_NE(tooltip, nullptr) << hostile.what;
        const QStringList lines = tooltip->text().split(u'\n');
        EXPECT_EQ(lines.size(), 12) << hostile.what; // the heading, ten paths, "and 2 more"
        EXPECT_EQ(lines.back(), QStringLiteral("and 2 more")) << hostile.what;
        for (const QString &line : lines) {
            EXPECT_TRUE(showsNoRawControl(line)) << hostile.what;
            EXPECT_LE(graphemeCount(line.toStdString()), shownNameCharacters + 2) << hostile.what;
        }
    }
    WatchedLibrary overridden;
    overridden.name = "Lib \u202Exe.fcpbundle";
    EXPECT_EQ(LibraryRow(overridden, [] {}).nameLabel()->text(),
              QStringLiteral("Lib \\u{202E}xe.fcpbundle"));
}

// Whatever a label is given, it keeps a bounded line, and one character wider than its room
// is cut where a code point ends, not left as "…" alone.
TEST(ElidedLabelBounds, KeepsABoundedLineAndNeverElidesToNothing) {
    for (const auto &hostile : testing::hostileTexts()) {
        ElidedLabel label(QString::fromStdString(hostile.text));
        label.resize(120, 20);
        EXPECT_LE(graphemeCount(label.text().toStdString()), ElidedLabel::maxCharacters)
            << hostile.what;
        EXPECT_TRUE(showsNoRawControl(label.text())) << hostile.what;
        EXPECT_NE(label.shownText(), QString(QChar(0x2026))) << hostile.what;
    }
    // A name shown already stays as it is.
    const QString shown = QString::fromStdString(shownName(rightToLeft + "\n", 300));
    EXPECT_EQ(ElidedLabel(shown).text(), shown);

    const QFontMetricsF metrics(QApplication::font());
    const QString family = QString::fromStdString(testing::repeatedText("\U0001F468\u200D", 15));
    const QString cut = corvane::TextElision::elided(metrics, family, Qt::ElideRight,
                                                     metrics.horizontalAdvance(family) / 3);
    EXPECT_TRUE(cut.startsWith(QString::fromStdString("\U0001F468"))) << cut.toStdString();
    EXPECT_TRUE(cut.endsWith(QChar(0x2026)));
    EXPECT_FALSE(cut.contains(QStringLiteral("\u200D\u2026")));

    // An isolate the cut leaves open is closed before "…", so what follows stays outside it.
    const QString line =
        QStringLiteral("Serving '") + shown + QStringLiteral("' (8 timelines) and more words");
    const QString middle = corvane::TextElision::elided(metrics, line, Qt::ElideMiddle,
                                                        metrics.horizontalAdvance(line) / 2);
    const qsizetype ellipsis = middle.indexOf(QChar(0x2026));
    ASSERT_GT(ellipsis, 0) << middle.toStdString();
    EXPECT_EQ(middle.left(ellipsis).count(QChar(0x2068)),
              middle.left(ellipsis).count(QChar(0x2069)))
        << middle.toStdString();
}

} // namespace
} // namespace tandrel
