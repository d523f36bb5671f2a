#include "host/state/AppState.h"

#include "core/model/BundledPresets.h"
#include "core/snapshot/SnapshotWriter.h"
#include "core/support/JsonText.h"
#include "core/tests/LibraryFixture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "host/query/tests/QueryFixture.h"
#include "host/state/tests/FakeStreams.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"

#include <gtest/gtest.h>

#include <QMetaMethod>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Log = std::vector<std::string>;
using platform::MainQueue;

// The host's user defaults in memory, noting every read and write.
class RecordingDefaults final : public platform::KeyValueStore {
public:
    explicit RecordingDefaults(Log &log) : log_(log) {}

    QVariant value(const QString &key) const override {
        log_.push_back("get " + key.toStdString());
        return values_.value(key);
    }
    bool setValue(const QString &key, const QVariant &value) override {
        log_.push_back("set " + key.toStdString());
        return !failWrites && values_.setValue(key, value);
    }
    bool remove(const QString &key) override {
        log_.push_back("remove " + key.toStdString());
        return !failWrites && values_.remove(key);
    }
    // Every write reports that it was not stored (and is kept, as QSettings keeps it).
    bool failWrites = false;
    // Without a note.
    platform::MemoryKeyValueStore &values() { return values_; }

private:
    Log &log_;
    platform::MemoryKeyValueStore values_;
};

} // namespace

// Notes the name of every change signal of a state object as it is emitted, and runs a hook
// in the slot.
class SignalLog : public QObject {
    Q_OBJECT
public:
    SignalLog(AppState &state, Log &log, std::function<void()> hook = {})
        : log_(log), hook_(std::move(hook)) {
        const QMetaObject &meta = AppState::staticMetaObject;
        const QMetaMethod slot = metaObject()->method(metaObject()->indexOfSlot("record()"));
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).methodType() == QMetaMethod::Signal) {
                connect(&state, meta.method(i), this, slot);
                ++signals_;
            }
        }
    }
    int signalCount() const { return signals_; }

public slots:
    void record() {
        log_.push_back(sender()->metaObject()->method(senderSignalIndex()).name().toStdString());
        if (hook_) {
            hook_();
        }
    }

private:
    Log &log_;
    std::function<void()> hook_;
    int signals_ = 0;
};

namespace {

// Libraries written once for all tests: "Solo" with one timeline, "Pair" with two, and two
// libraries with none.
class AppStateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        libraries_ = new testing::ScratchFolder;
        const auto write = [](const sample::LibraryDescription &description) {
            return sample::SampleLibraryWriter::write(description, libraries_->path());
        };
        solo_ = write(testing::describedLibrary("Solo", {{"Reel", 3}}));
        pair_ = write(testing::describedLibrary("Pair", {{"Alpha", 2}, {"Beta", 4}}));
        empty_ = write(testing::describedLibrary("Empty", {}));
        empty2_ = write(testing::describedLibrary("Empty 2", {}));
    }
    static void TearDownTestSuite() { delete libraries_; }

    AppState &state() {
        if (!state_) {
            state_ = std::make_unique<AppState>(services);
        }
        return *state_;
    }
    void started() {
        state().start();
        MainQueue::runPending();
        log.clear();
    }
    // Adds and loads the libraries, as the host does from its main queue.
    void load(const std::vector<fs::path> &bundles) {
        for (const fs::path &bundle : bundles) {
            state().addLibrary(bundle);
        }
        MainQueue::runPending();
    }

    fs::path snapshotFile() const { return data.path() / "Tandrel/current.json"; }
    TandrelSnapshot writtenSnapshot() const {
        std::ifstream in(snapshotFile());
        return parseJsonText(std::string(std::istreambuf_iterator<char>(in), {}))
            .get<TandrelSnapshot>();
    }

    Log log;
    testing::ScratchFolder data;
    testing::ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME", data.path().string()};
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    std::shared_ptr<RecordingDefaults> defaults = std::make_shared<RecordingDefaults>(log);
    testing::FakeStreams streams;
    AppState::Services services{
        .userDefaults = defaults,
        .clock = clock,
        .timers = clock->timers(),
        .fileSystemEvents = streams.factory(),
        .scanLibrary = &LibraryScanner::scan,
        .writeSnapshot =
            [this](const TandrelSnapshot &snapshot) {
                log.push_back("write");
                if (failSnapshotWrites) {
                    throw std::runtime_error("No space left on device");
                }
                SnapshotWriter::write(snapshot);
            },
        .clearSnapshot =
            [this] {
                log.push_back("clear");
                SnapshotWriter::clear();
            },
        .publishPresets = [this](const std::vector<ExtensionBridge::PresetSummary> &,
                                 const Uuid &) { log.push_back("publish"); },
        .checkPluginUpdate = nullptr,
        .validation = nullptr,
        .observeExtension = nullptr,
    };
    bool failSnapshotWrites = false;
    std::unique_ptr<AppState> state_;

    static testing::ScratchFolder *libraries_;
    static fs::path solo_, pair_, empty_, empty2_;
};

testing::ScratchFolder *AppStateTest::libraries_ = nullptr;
fs::path AppStateTest::solo_, AppStateTest::pair_, AppStateTest::empty_, AppStateTest::empty2_;

TEST_F(AppStateTest, AFreshStateHasItsFirstValuesAndStartsNothing) {
    AppState &fresh = state();
    EXPECT_EQ(fresh.statusMessage(), "No libraries loaded");
    EXPECT_EQ(fresh.activePresetID(), BundledPresets::table().front().id);
    EXPECT_EQ(fresh.pluginUpdateState(), PluginUpdateState::upToDate());
    EXPECT_EQ(fresh.libraryWatcher(), nullptr);
    EXPECT_FALSE(fresh.hasStarted());
    EXPECT_TRUE(fresh.presets().empty());
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(MainQueue::pending(), 0);
}

TEST_F(AppStateTest, StartRunsItsStepsOnceInOrder) {
    struct Case {
        std::optional<QString> storedStart;
        Log steps;
    };
    const Case cases[] = {
        {std::nullopt,
         {"get Tandrel.Presets", "presetsChanged", "set Tandrel.Presets", "clear", "publish",
          "get Tandrel.ActivePresetID", "get Tandrel.ProjectStartTimecode",
          "get Tandrel.WatchedLibraryBookmarks", "get Tandrel.ActiveTimeline", "publish",
          "plugin check"}},
        // A stored start timecode is taken, stored again, and the snapshot of an earlier run
        // is removed.
        {"01:00:00:00",
         {"get Tandrel.Presets", "presetsChanged", "set Tandrel.Presets", "clear", "publish",
          "get Tandrel.ActivePresetID", "get Tandrel.ProjectStartTimecode",
          "projectStartTimecodeChanged", "set Tandrel.ProjectStartTimecode", "clear",
          "get Tandrel.WatchedLibraryBookmarks", "get Tandrel.ActiveTimeline", "publish",
          "plugin check"}},
    };
    for (const Case &c : cases) {
        log.clear();
        if (c.storedStart) {
            defaults->values().setValue(AppState::projectStartTimecodeKey, *c.storedStart);
        }
        SnapshotWriter::write(TandrelSnapshot{});
        services.checkPluginUpdate = [this](auto) { log.push_back("plugin check"); };
        AppState started(services);
        SignalLog signalLog(started, log);
        started.start();
        EXPECT_NE(started.libraryWatcher(), nullptr);
        // The plug-in check runs in a task of its own, after the start.
        EXPECT_EQ(std::count(log.begin(), log.end(), "plugin check"), 0);
        MainQueue::runPending();
        started.start();
        MainQueue::runPending();
        EXPECT_EQ(log, c.steps);
        EXPECT_EQ(started.projectStartTimecode(), c.storedStart.value_or("").toStdString());
        EXPECT_FALSE(fs::exists(snapshotFile()));
        ASSERT_EQ(started.presets().size(), 3u);
        EXPECT_EQ(started.presets()[0].name, "Netflix QC Layout");
        EXPECT_EQ(started.activePresetIndex(), 0u);
    }
}

TEST_F(AppStateTest, ChangeHandlersStoreThenWriteThenPublishAndOnlyOnAChange) {
    started();
    load({solo_});
    SignalLog signalLog(state(), log);
    log.clear();
    std::vector<DisplayConfig> changed = state().presets();
    // An element of the active preset, whose snapshot it changes.
    changed[0].elements[0].label = "Timecode:";
    const Uuid otherPreset = state().presets()[2].id;

    struct Case {
        const char *what;
        std::function<void()> assign;
        Log steps;
    };
    const Case cases[] = {
        {"the same presets", [&] { state().setPresets(state().presets()); }, {}},
        {"one element changed",
         [&] { state().setPresets(changed); },
         {"presetsChanged", "set Tandrel.Presets", "write", "publish"}},
        {"the same active preset",
         [&] { state().setActivePresetID(state().activePresetID()); },
         {}},
        {"another active preset",
         [&] { state().setActivePresetID(otherPreset); },
         {"activePresetIDChanged", "set Tandrel.ActivePresetID", "write", "publish"}},
        {"the same start timecode", [&] { state().setProjectStartTimecode(""); }, {}},
        {"another start timecode",
         [&] { state().setProjectStartTimecode("00:59:58:00"); },
         {"projectStartTimecodeChanged", "set Tandrel.ProjectStartTimecode", "write"}},
    };
    for (const Case &c : cases) {
        log.clear();
        c.assign();
        EXPECT_EQ(log, c.steps) << c.what;
    }
    const TandrelSnapshot written = writtenSnapshot();
    EXPECT_EQ(written.displayConfig.name, "Colorist");
    EXPECT_EQ(written.timelineStartTimecode, "00:59:58:00");
    EXPECT_EQ(defaults->values().string(AppState::projectStartTimecodeKey), "00:59:58:00");
    EXPECT_EQ(defaults->values().string(AppState::activePresetIDKey),
              QString::fromStdString(otherPreset.uuidString()));
    const auto stored = defaults->values().data(AppState::presetsKey);
    ASSERT_TRUE(stored);
    EXPECT_EQ(parseJsonText(stored->toStdString()).get<std::vector<DisplayConfig>>(), changed);
}

// A list that loses its active preset, and the id of the preset that takes its place, assigned
// as one change: the snapshot is written once, with the preset that takes the place, never
// with the default layout of a list without its active preset.
TEST_F(AppStateTest, APresetListWithItsActiveIDIsOneChangeOfItsEndState) {
    started();
    load({solo_});
    std::vector<std::string> writtenPresets;
    services.writeSnapshot = [&](const TandrelSnapshot &snapshot) {
        writtenPresets.push_back(snapshot.displayConfig.name);
    };
    state_.reset();
    started();
    load({solo_});
    ASSERT_TRUE(state().activeTimelineID());
    state().setActivePresetID(state().presets()[1].id);
    SignalLog signalLog(state(), log);
    log.clear();
    writtenPresets.clear();

    std::vector<DisplayConfig> rest = state().presets();
    rest.erase(rest.begin() + 1);
    const Uuid first = rest.front().id;
    state().setPresets(rest, first);
    EXPECT_EQ(log, (Log{"presetsChanged", "activePresetIDChanged", "set Tandrel.Presets",
                        "set Tandrel.ActivePresetID", "publish"}));
    EXPECT_EQ(writtenPresets, std::vector<std::string>{"Netflix QC Layout"});
    EXPECT_EQ(state().presets(), rest);
    EXPECT_EQ(state().activePresetID(), first);

    // Only what changed runs its rules; nothing changed, nothing runs.
    log.clear();
    writtenPresets.clear();
    state().setPresets(rest, rest[1].id);
    EXPECT_EQ(log, (Log{"activePresetIDChanged", "set Tandrel.ActivePresetID", "publish"}));
    EXPECT_EQ(writtenPresets, std::vector<std::string>{rest[1].name});
    log.clear();
    state().setPresets(rest, rest[1].id);
    EXPECT_TRUE(log.empty());
}

// A view that answers a change of the presets may correct what it was handed; the correction
// joins the change: the views hear of the corrected state, and the presets are stored, the
// snapshot written and the presets published once, for the end state.
TEST_F(AppStateTest, ACorrectionMadeWhileAChangeIsDeliveredJoinsIt) {
    started();
    load({solo_});
    const std::vector<DisplayConfig> original = state().presets();
    std::vector<DisplayConfig> edited = original;
    edited[0].elements[0].label = "Timecode:";
    std::vector<DisplayConfig> corrected = edited;
    corrected[0].elements[0].posY = 0.5;
    const auto movedTo = [&](double x) {
        std::vector<DisplayConfig> moved = corrected;
        moved[0].elements[0].posX = x;
        return moved;
    };

    struct Case {
        const char *what;
        // What the view assigns when it hears of a state; nothing when it is happy with it.
        std::function<std::optional<std::vector<DisplayConfig>>(const std::vector<DisplayConfig> &)>
            correct;
        Log steps;
        std::vector<DisplayConfig> end;
    };
    const Log rules{"set Tandrel.Presets", "write", "publish"};
    Log steps = Log{"heard", "heard"};
    steps.insert(steps.end(), rules.begin(), rules.end());
    Log restless(8, "heard");
    restless.insert(restless.end(), rules.begin(), rules.end());
    int corrections = 0;
    const Case cases[] = {
        {"corrected once",
         [&](const auto &heard) {
             return heard == edited ? std::optional(corrected) : std::nullopt;
         },
         steps, corrected},
        {"taken back",
         [&](const auto &heard) {
             return heard == edited ? std::optional(original) : std::nullopt;
         },
         {"heard", "heard"},
         original},
        // A view that is never content is heard a few times; every view has heard the end.
        {"never content", [&](const auto &) { return std::optional(movedTo(++corrections)); },
         restless, movedTo(7)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        state().setPresets(original);
        QObject view;
        std::vector<DisplayConfig> lastHeard;
        QObject::connect(&state(), &AppState::presetsChanged, &view, [&] {
            log.push_back("heard");
            lastHeard = state().presets();
            if (const auto correction = c.correct(lastHeard)) {
                state().setPresets(*correction);
            }
        });
        log.clear();
        state().setPresets(edited);
        EXPECT_EQ(log, c.steps);
        EXPECT_EQ(state().presets(), c.end);
        EXPECT_EQ(lastHeard, c.end);
        EXPECT_EQ(writtenSnapshot().displayConfig, c.end[0]);
    }
}

TEST_F(AppStateTest, WithNoActiveTimelineEveryChangeRemovesTheSnapshot) {
    started();
    load({pair_});
    EXPECT_EQ(state().activeTimelineID(), std::nullopt);
    const std::function<void()> changes[] = {
        [&] { state().setProjectStartTimecode("10:00:00:00"); },
        [&] { state().setActivePresetID(state().presets()[1].id); },
        [&] { state().setPresets({state().presets()[0]}); },
    };
    for (const auto &change : changes) {
        SnapshotWriter::write(TandrelSnapshot{});
        change();
        EXPECT_FALSE(fs::exists(snapshotFile()));
        EXPECT_FALSE(state().snapshotWritten());
    }
}

TEST_F(AppStateTest, TheStatusLineSaysWhatIsServed) {
    struct Case {
        std::vector<fs::path> libraries;
        bool loaded;
        const char *status;
    };
    const Case cases[] = {
        {{}, true, "No libraries loaded"},
        {{solo_, pair_}, false, "No libraries loaded"},
        {{empty_}, true, "Watching 1 library \u2014 no timelines found"},
        {{empty_, empty2_}, true, "Watching 2 libraries \u2014 no timelines found"},
        {{solo_}, true, "Serving 'Reel' (1 timelines)"},
        {{pair_}, true, "Select a timeline to start burn-in (2 available)"},
        {{empty_, pair_}, true, "Select a timeline to start burn-in (2 available)"},
        // Solo's lone timeline is not alone once Pair is read too: nothing is served unasked.
        {{solo_, pair_}, true, "Select a timeline to start burn-in (3 available)"},
    };
    for (const Case &c : cases) {
        // Libraries of an earlier case are not restored.
        services.userDefaults = std::make_shared<platform::MemoryKeyValueStore>();
        AppState fresh(services);
        fresh.start();
        for (const fs::path &library : c.libraries) {
            fresh.addLibrary(library);
        }
        if (c.loaded) {
            MainQueue::runPending();
        }
        fresh.updateStatus();
        EXPECT_EQ(fresh.statusMessage(), c.status);
        MainQueue::runPending();
    }
}

TEST_F(AppStateTest, ALoneTimelineIsServedAndRemovingItsLibraryAsksForASelection) {
    started();
    load({solo_});
    ASSERT_EQ(state().availableTimelines().size(), 1u);
    EXPECT_EQ(state().activeTimelineID(), state().availableTimelines()[0].id);
    EXPECT_EQ(state().activeTimelineName(), "Reel");
    EXPECT_EQ(state().activeTimelineResolution(), (Size{1920, 1080}));
    EXPECT_EQ(state().detectedProjectStartTimecode(), "01:00:00:00");
    EXPECT_TRUE(state().snapshotWritten());
    EXPECT_EQ(state().lastSnapshotTime(), clock->now());
    EXPECT_EQ(state().statusMessage(), "Serving 'Reel' (1 timelines)");
    const TandrelSnapshot written = writtenSnapshot();
    EXPECT_EQ(written.timelineID, *state().activeTimelineID());
    EXPECT_EQ(written.timelineName, "Reel");
    EXPECT_EQ(written.libraryName, "Solo");
    EXPECT_EQ(written.timelineStartTimecode, "01:00:00:00");
    EXPECT_EQ(written.timelineDropFrame, false);
    EXPECT_EQ(written.updatedAt, 1'700'000'000);
    EXPECT_EQ(written.displayConfig, state().presets()[0]);
    EXPECT_FALSE(written.entries.empty());

    // Another library does not take the place of the active timeline.
    load({pair_});
    EXPECT_EQ(state().activeTimelineName(), "Reel");
    EXPECT_EQ(state().statusMessage(), "Serving 'Reel' (3 timelines)");

    state().removeLibrary(0);
    EXPECT_EQ(state().activeTimelineID(), std::nullopt);
    EXPECT_EQ(state().activeTimelineResolution(), std::nullopt);
    EXPECT_FALSE(fs::exists(snapshotFile()));
    EXPECT_FALSE(state().snapshotWritten());
    EXPECT_EQ(state().statusMessage(), "Select a timeline to start burn-in (2 available)");
    EXPECT_FALSE(streams.isRunning(solo_));
    EXPECT_TRUE(streams.isRunning(pair_));
}

TEST_F(AppStateTest, AChosenTimelineIsServedAndAnActivePresetOfNoPresetServesTheDefault) {
    started();
    load({pair_});
    const TimelineChoice beta = state().availableTimelines()[1];
    ASSERT_EQ(beta.name, "Beta");
    state().setActiveTimeline(beta.id);
    EXPECT_EQ(writtenSnapshot().timelineName, "Beta");
    EXPECT_EQ(state().statusMessage(), "Serving 'Beta' (2 timelines)");

    state().setActivePresetID(Uuid::random());
    EXPECT_EQ(state().activePresetIndex(), std::nullopt);
    EXPECT_EQ(writtenSnapshot().displayConfig.name, "Custom");

    // An id that no library offers is active all the same, with nothing to serve.
    state().setActiveTimeline("gone");
    EXPECT_EQ(state().activeTimelineID(), "gone");
    EXPECT_EQ(state().activeTimelineName(), std::nullopt);
    EXPECT_FALSE(fs::exists(snapshotFile()));
    EXPECT_EQ(state().statusMessage(), "Select a timeline to start burn-in (2 available)");
}

TEST_F(AppStateTest, AFailedWriteShowsWhyAndKeepsTheLastWriteTime) {
    started();
    load({solo_});
    const auto lastWrite = state().lastSnapshotTime();
    ASSERT_TRUE(lastWrite);
    // The snapshot's folder cannot be made: a file stands in its place.
    fs::remove_all(data.path() / "Tandrel");
    testing::writeFile(data.path() / "Tandrel", "not a folder");
    clock->advance(5s);

    state().setProjectStartTimecode("02:00:00:00");
    EXPECT_FALSE(state().snapshotWritten());
    EXPECT_EQ(state().lastSnapshotTime(), lastWrite);
    EXPECT_TRUE(state().statusMessage().starts_with("Snapshot write failed: "))
        << state().statusMessage();
    EXPECT_GT(state().statusMessage().size(), std::string("Snapshot write failed: ").size());
}

TEST_F(AppStateTest, AFailedWriteNeverLeavesAnotherTimelinesSnapshotServed) {
    started();
    load({pair_});
    const std::vector<TimelineChoice> timelines = state().availableTimelines();
    ASSERT_EQ(timelines.size(), 2U);
    state().setActiveTimeline(timelines[0].id);
    ASSERT_EQ(writtenSnapshot().timelineName, "Alpha");

    // The active timeline's own earlier snapshot stays through a failed rewrite.
    failSnapshotWrites = true;
    state().setProjectStartTimecode("02:00:00:00");
    EXPECT_FALSE(state().snapshotWritten());
    EXPECT_EQ(writtenSnapshot().timelineName, "Alpha");

    // Another timeline's does not: the plug-in would draw Alpha's clips over Beta.
    state().setActiveTimeline(timelines[1].id);
    EXPECT_FALSE(fs::exists(snapshotFile()));
    EXPECT_TRUE(state().statusMessage().starts_with("Snapshot write failed: "));

    failSnapshotWrites = false;
    state().setProjectStartTimecode("03:00:00:00");
    EXPECT_EQ(writtenSnapshot().timelineName, "Beta");
}

TEST_F(AppStateTest, ASettingThatCannotBeStoredShowsUntilOneIs) {
    started();
    load({solo_});
    defaults->failWrites = true;
    state().setProjectStartTimecode("01:00:00:00");
    EXPECT_EQ(state().statusMessage(), AppState::settingsNotStoredStatus);
    // Still so after other updates of the status line.
    state().setActivePresetID(state().presets().back().id);
    EXPECT_EQ(state().statusMessage(), AppState::settingsNotStoredStatus);

    defaults->failWrites = false;
    state().setProjectStartTimecode("02:00:00:00");
    EXPECT_NE(state().statusMessage(), AppState::settingsNotStoredStatus);
    EXPECT_EQ(defaults->values().string(AppState::projectStartTimecodeKey),
              QStringLiteral("02:00:00:00"));
}

TEST_F(AppStateTest, TheEffectiveStartTimecodeIsTheProjectsElseTheDetectedOne) {
    started();
    EXPECT_EQ(state().effectiveProjectStartTimecode(), "");
    load({solo_});
    struct Case {
        const char *project;
        const char *effective;
    };
    const Case cases[] = {{"", "01:00:00:00"}, {" ", " "}, {"00:59:58:00", "00:59:58:00"}};
    for (const Case &c : cases) {
        state().setProjectStartTimecode(c.project);
        EXPECT_EQ(state().effectiveProjectStartTimecode(), c.effective);
        EXPECT_EQ(writtenSnapshot().timelineStartTimecode, c.effective);
    }
}

TEST_F(AppStateTest, AReportedChangeReloadsThatLibraryAndRewritesTheSnapshot) {
    started();
    // A copy of "Solo" that the test changes behind the state object's back.
    testing::ScratchFolder copies;
    const fs::path library = copies / "Solo.fcpbundle";
    fs::copy(solo_, library, fs::copy_options::recursive);
    load({library});
    ASSERT_EQ(state().availableTimelines().at(0).editCount, 3);
    const fs::path database = library / "Day 1/CurrentVersion.fcpevent";

    // The same library with a longer timeline, put in place as the editor would save it.
    testing::ScratchFolder longer;
    const fs::path edited = sample::SampleLibraryWriter::write(
        testing::describedLibrary("Solo", {{"Reel", 5}}), longer.path());
    fs::copy_file(edited / "Day 1/CurrentVersion.fcpevent", database,
                  fs::copy_options::overwrite_existing);
    log.clear();
    streams.deliver(library, {{database.string() + "-wal"}});
    EXPECT_TRUE(log.empty()); // reloaded from the main queue
    MainQueue::runPending();
    EXPECT_EQ(state().availableTimelines().at(0).editCount, 5);
    EXPECT_EQ(std::count(log.begin(), log.end(), "write"), 1);
    EXPECT_EQ(state().statusMessage(), "Serving 'Reel' (1 timelines)");

    // A change reported for a library no longer watched does nothing.
    log.clear();
    state().handleLibraryChange(copies / "Other.fcpbundle");
    MainQueue::runPending();
    EXPECT_TRUE(log.empty());
}

// Libraries load one by one after a restart; a lone timeline of the first one read is no
// choice of the user's.
TEST_F(AppStateTest, ARestartServesTheTimelineServedBeforeAndOnlyAChoiceStoredInItsPlace) {
    testing::ScratchFolder folder;
    // Restored before Pair, in the order of the stored paths.
    const fs::path alone = sample::SampleLibraryWriter::write(
        testing::describedLibrary("Alone", {{"Reel", 3}}), folder.path());
    started();
    load({pair_, alone});
    ASSERT_EQ(state().activeTimelineID(), std::nullopt);
    const TimelineChoice beta = state().availableTimelines().at(2);
    ASSERT_EQ(beta.name, "Beta");
    state().setActiveTimeline(beta.id);
    state_.reset();

    struct Case {
        const char *what;
        std::optional<QVariant> stored; // nothing: as the last run left it
        std::optional<std::string> served;
    };
    const Case cases[] = {
        {"as stored", std::nullopt, beta.id},
        // Settings of a version that did not store it: nothing was chosen.
        {"absent", QVariant(), std::nullopt},
        {"of another shape", QVariant(QStringLiteral("Beta")), std::nullopt},
        {"of a library no longer watched",
         QVariantMap{{"library", "/Libraries/Gone.fcpbundle"}, {"timelineID", "x#1"}},
         std::nullopt},
    };
    const QVariant lastRun = defaults->values().value(AppState::activeTimelineKey);
    for (const Case &c : cases) {
        defaults->values().setValue(AppState::activeTimelineKey, c.stored.value_or(lastRun));
        AppState next(services);
        next.start();
        MainQueue::runPending();
        ASSERT_EQ(next.watchedLibraries().size(), 2u) << c.what;
        EXPECT_EQ(next.activeTimelineID(), c.served) << c.what;
        if (c.served) {
            EXPECT_EQ(writtenSnapshot().timelineName, "Beta") << c.what;
            EXPECT_EQ(next.statusMessage(), "Serving 'Beta' (3 timelines)") << c.what;
        } else {
            EXPECT_FALSE(fs::exists(snapshotFile())) << c.what;
        }
    }
}

TEST_F(AppStateTest, OnlyNewFcpbundleFoldersAreAdded) {
    started();
    const std::pair<fs::path, bool> cases[] = {
        {"/Volumes/Media/Show.fcpbundle", true},
        {"/Volumes/Media/Show.fcpbundle/", false}, // the same folder
        {"/Volumes/Media/Other.FCPBUNDLE", false},
        {"/Volumes/Media/Folder", false},
    };
    for (const auto &[url, added] : cases) {
        const size_t before = state().watchedLibraries().size();
        state().addLibrary(url);
        EXPECT_EQ(state().watchedLibraries().size(), before + (added ? 1 : 0)) << url;
    }
    EXPECT_EQ(state().watchedLibraries()[0].name, "Show");
    MainQueue::runPending();
}

TEST_F(AppStateTest, APluginCheckReportsItsStateWhileTheStateObjectLives) {
    std::function<void(PluginUpdateState)> report;
    services.checkPluginUpdate = [&](std::function<void(PluginUpdateState)> setState) {
        report = std::move(setState);
        report(PluginUpdateState::installing());
    };
    started();
    EXPECT_EQ(state().pluginUpdateState(), PluginUpdateState::installing());
    report(PluginUpdateState::installed("42"));
    EXPECT_EQ(state().pluginUpdateState().stateCase(), PluginUpdateState::Case::installed);
    EXPECT_EQ(state().pluginUpdateState().text(), "42");
    // A report after the state object is gone is dropped.
    state_.reset();
    report(PluginUpdateState::failed("late"));
}

TEST_F(AppStateTest, ASlotThatCallsTheResolverOnAnyChangeSignalNeverFindsItsLockTaken) {
    int resolverCalls = 0;
    std::vector<std::string> failures;
    SignalLog signalLog(state(), log, [&] {
        // The resolver refuses (instead of hanging) a lock its thread already holds.
        try {
            QueryResolver &resolver = state().queryResolver();
            const auto timelines = resolver.availableTimelines();
            if (state().activeTimelineID()) {
                resolver.timelineResolution(*state().activeTimelineID());
                resolver.completeSnapshot(*state().activeTimelineID(), {});
            }
            ++resolverCalls;
        } catch (const std::exception &error) {
            failures.push_back(error.what());
        }
    });
    EXPECT_EQ(signalLog.signalCount(), 18);
    started();
    load({solo_, pair_});
    state().setActiveTimeline(state().availableTimelines()[2].id);
    state().setPresets({state().presets()[1]});
    state().setProjectStartTimecode("02:00:00:00");
    state().handleLibraryChange(solo_);
    MainQueue::runPending();
    state().removeLibrary(0);
    EXPECT_EQ(failures, std::vector<std::string>{});
    EXPECT_GT(resolverCalls, 10);
}

} // namespace
} // namespace tandrel

#include "AppStateTests.moc"
