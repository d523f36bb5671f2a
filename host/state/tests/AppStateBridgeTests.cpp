// The state object and the editor panel: the bridge's notifications and the editor are played
// by hand; the suite and the drop folder are real, in a private data folder.

#include "host/state/AppState.h"

#include "core/tests/LibraryFixture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "host/bridge/ExtensionBridge.h"
#include "host/query/tests/QueryFixture.h"
#include "host/state/tests/FakeStreams.h"
#include "platform/automation/EditorAutomation.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"

#include <gtest/gtest.h>

#include <QThreadPool>

#include <chrono>
#include <map>
#include <semaphore>
#include <thread>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using ExtensionBridge::DarwinNotification;
using platform::MainQueue;
using Log = std::vector<std::string>;

// The notification centre played by hand: postings come from a thread of their own, as the
// real centre's do, and the main queue is drained after each.
class FakeCentre {
public:
    void observe(DarwinNotification notification, std::function<void()> callback) {
        callbacks_[notification].push_back(std::move(callback));
    }
    void post(DarwinNotification notification) {
        std::thread([&] {
            for (const auto &callback : callbacks_[notification]) {
                callback();
            }
        }).join();
        MainQueue::runPending();
    }

private:
    std::map<DarwinNotification, std::vector<std::function<void()>>> callbacks_;
};

// Libraries written once for all tests, in the timeline list's order: "Alpha" with
// "main edit" and "Trailer", "Beta" with "Main Edit" and "Reel", and "Extra", which only the
// editor has open.
// The editor running, with these libraries open; each request for them counts a detection.
class RunningEditor final : public platform::EditorAutomation {
public:
    RunningEditor(int &detections, const std::vector<fs::path> &libraries)
        : detections_(detections), libraries_(libraries) {}

    std::vector<std::string> runningBundleIdentifiers() const override {
        return {"com.apple.FinalCut"};
    }
    std::int32_t determinePermission(const std::string &) override { return permitted; }
    std::optional<ScriptResult> runScript(const std::string &) override {
        ++detections_;
        ScriptValue value{.isList = true};
        for (const fs::path &library : libraries_) {
            value.items.emplace_back(library);
        }
        return value;
    }

private:
    int &detections_;
    const std::vector<fs::path> &libraries_;
};

class AppStateBridgeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        libraries_ = new testing::ScratchFolder;
        const auto write = [](const char *name,
                              const std::vector<std::pair<std::string, int>> &timelines) {
            return sample::SampleLibraryWriter::write(testing::describedLibrary(name, timelines),
                                                      libraries_->path());
        };
        alpha_ = write("Alpha", {{"main edit", 2}, {"Trailer", 2}});
        beta_ = write("Beta", {{"Main Edit", 3}, {"Reel", 2}});
        extra_ = write("Extra", {{"Extra Reel", 2}});
    }
    static void TearDownTestSuite() { delete libraries_; }

    AppState &state() {
        if (!state_) {
            state_ = std::make_unique<AppState>(services);
        }
        return *state_;
    }
    void startedWith(const std::vector<fs::path> &libraries) {
        state().start();
        for (const fs::path &library : libraries) {
            state().addLibrary(library);
        }
        MainQueue::runPending();
        log.clear();
        detections = 0;
    }
    // "Library/name" of the active timeline, or "none".
    std::string active() {
        for (const TimelineChoice &timeline : state().availableTimelines()) {
            if (timeline.id == state().activeTimelineID()) {
                return timeline.library + "/" + timeline.name;
            }
        }
        return state().activeTimelineID() ? "unknown" : "none";
    }
    void activate(const std::string &libraryAndName) {
        for (const TimelineChoice &timeline : state().availableTimelines()) {
            if (timeline.library + "/" + timeline.name == libraryAndName) {
                state().setActiveTimeline(timeline.id);
                return;
            }
        }
        state().setActiveTimeline(std::nullopt);
    }
    // As the panel does it.
    void select(const std::optional<std::string> &sequence,
                const std::optional<Uuid> &preset = std::nullopt) {
        ExtensionBridge::publishActiveSelection(sequence, preset);
        centre.post(DarwinNotification::selectionChanged);
    }
    std::vector<std::string> watchedNames() {
        std::vector<std::string> names;
        for (const WatchedLibrary &library : state().watchedLibraries()) {
            names.push_back(library.name);
        }
        return names;
    }

    Log log;
    int detections = 0;
    std::vector<fs::path> editorLibraries;
    FakeCentre centre;
    testing::ScratchFolder data;
    testing::ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME", data.path().string()};
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    testing::FakeStreams streams;
    std::vector<ExtensionBridge::PresetSummary> published;
    AppState::Services services{
        .userDefaults = std::make_shared<platform::MemoryKeyValueStore>(),
        .clock = clock,
        .timers = clock->timers(),
        .fileSystemEvents = streams.factory(),
        .scanLibrary = &LibraryScanner::scan,
        .editorAutomation = std::make_shared<RunningEditor>(detections, editorLibraries),
        .writeSnapshot = [this](const TandrelSnapshot &) { log.push_back("write"); },
        .clearSnapshot = [this] { log.push_back("clear"); },
        .publishPresets = [this](const std::vector<ExtensionBridge::PresetSummary> &presets,
                                 const Uuid &) { published = presets; },
        .checkPluginUpdate = nullptr,
        .validation = nullptr,
        .observeExtension =
            [this](DarwinNotification notification, std::function<void()> callback) {
                centre.observe(notification, std::move(callback));
            },
    };
    std::unique_ptr<AppState> state_;

    inline static testing::ScratchFolder *libraries_ = nullptr;
    inline static fs::path alpha_, beta_, extra_;
};

TEST_F(AppStateBridgeTest, ThePanelsSequenceMakesTheFirstTimelineOfItsNameActive) {
    startedWith({alpha_, beta_});
    ASSERT_EQ(active(), "none");
    struct Case {
        std::optional<std::string> sequence;
        const char *activeBefore;
        const char *activeAfter;
        Log steps;
        int detections;
    };
    const Case cases[] = {
        // Spaces and tabs at either end and case aside; the earlier of two alike wins.
        {" Main Edit ", "none", "Alpha/main edit", {"write"}, 0},
        {"\tREEL \t", "none", "Beta/Reel", {"write"}, 0},
        // A line break is part of the name: nothing matches, so the editor is asked.
        {"Trailer\n", "none", "none", {}, 1},
        {"Trailer\n", "Beta/Reel", "Beta/Reel", {}, 1},
        // The timeline already active is left as it is: nothing is written again.
        {"MAIN EDIT", "Alpha/main edit", "Alpha/main edit", {}, 0},
        // No sequence in the editor: no timeline is served.
        {std::nullopt, "Beta/Reel", "none", {"clear"}, 0},
        {std::nullopt, "none", "none", {}, 0},
    };
    for (const Case &c : cases) {
        const std::string what = c.sequence.value_or("(none)") + " from " + c.activeBefore;
        activate(c.activeBefore);
        log.clear();
        detections = 0;
        select(c.sequence);
        EXPECT_EQ(active(), c.activeAfter) << what;
        EXPECT_EQ(log, c.steps) << what;
        EXPECT_EQ(detections, c.detections) << what;
        if (!state().activeTimelineID()) {
            EXPECT_EQ(state().activeTimelineResolution(), std::nullopt) << what;
            EXPECT_EQ(state().detectedProjectStartTimecode(), std::nullopt) << what;
        }
    }
    EXPECT_EQ(watchedNames(), (std::vector<std::string>{"Alpha", "Beta"}));
}

TEST_F(AppStateBridgeTest, AnUnknownSequenceAddsTheEditorsUnwatchedLibrariesWhoseLoadMatchesIt) {
    startedWith({alpha_, beta_});
    const Uuid colorist = state().presets().at(2).id;
    editorLibraries = {beta_, extra_};

    select(" extra reel", colorist);
    EXPECT_EQ(state().activePresetID(), colorist);
    // Found once the added library has loaded, without asking the editor again.
    EXPECT_EQ(detections, 1);
    EXPECT_EQ(watchedNames(), (std::vector<std::string>{"Alpha", "Beta", "Extra"}));
    EXPECT_EQ(active(), "Extra/Extra Reel");

    // With every open library watched, a sequence found nowhere adds nothing.
    select("Nowhere");
    EXPECT_EQ(detections, 2);
    EXPECT_EQ(watchedNames(), (std::vector<std::string>{"Alpha", "Beta", "Extra"}));
    EXPECT_EQ(active(), "Extra/Extra Reel");

    // A preset the host does not have leaves the active one; the sequence still counts.
    select("Reel", Uuid::random());
    EXPECT_EQ(state().activePresetID(), colorist);
    EXPECT_EQ(active(), "Beta/Reel");
}

TEST_F(AppStateBridgeTest, TheStoredSelectionIsAppliedAtStartAndAfterEveryLoad) {
    ExtensionBridge::publishActiveSelection("Main Edit", std::nullopt);
    // Restored from an earlier run, and not loaded yet when the start applies the selection.
    state().addLibrary(alpha_);
    editorLibraries = {alpha_};
    state().start();
    EXPECT_EQ(active(), "none");
    EXPECT_EQ(detections, 1);
    EXPECT_EQ(watchedNames(), std::vector<std::string>{"Alpha"});
    MainQueue::runPending();
    EXPECT_EQ(active(), "Alpha/main edit");

    // A reload re-applies it; one without a sequence then clears what the user chose.
    ExtensionBridge::publishActiveSelection(std::nullopt, std::nullopt);
    activate("Alpha/Trailer");
    state().handleLibraryChange(alpha_);
    MainQueue::runPending();
    EXPECT_EQ(active(), "none");
}

TEST_F(AppStateBridgeTest, OnlyANewSelectionMovesThePresetAReloadOnlyRematchesItsSequence) {
    startedWith({alpha_, beta_});
    const Uuid colorist = state().presets().at(2).id;
    const Uuid conform = state().presets().at(1).id;
    select("Trailer", colorist);
    ASSERT_EQ(state().activePresetID(), colorist);

    // The user picks another preset and timeline in the host; the panel says nothing new
    // before the editor's save reloads the library.
    state().setActivePresetID(conform);
    activate("Beta/Reel");
    state().handleLibraryChange(alpha_);
    MainQueue::runPending();
    EXPECT_EQ(state().activePresetID(), conform);
    EXPECT_EQ(active(), "Alpha/Trailer");

    // The panel's next choice counts, though it names the same preset again.
    state().setActivePresetID(conform);
    select("Trailer", colorist);
    EXPECT_EQ(state().activePresetID(), colorist);

    // After a restart the stored selection is new to the host: its preset is applied, over
    // the host's own choice stored since.
    state().setActivePresetID(conform);
    state_.reset();
    state().start();
    EXPECT_EQ(state().activePresetID(), colorist);
}

TEST_F(AppStateBridgeTest, PresetsArePublishedAsSummariesInTheirOrder) {
    startedWith({});
    std::vector<ExtensionBridge::PresetSummary> expected;
    for (const DisplayConfig &preset : state().presets()) {
        expected.push_back({preset.id, preset.name});
    }
    EXPECT_EQ(published, expected);
    ASSERT_EQ(published.size(), 3u);
    state().setPresets({state().presets()[1]});
    EXPECT_EQ(published, std::vector<ExtensionBridge::PresetSummary>{expected[1]});
}

TEST_F(AppStateBridgeTest, ADropNotificationTakesTheNewestVisibleDrop) {
    const fs::path drops = data / "group.com.ostrevale.tandrel/GroundTruthDrops";
    const auto dropAt = [&](const std::string &name, std::chrono::minutes afterTen) {
        testing::writeFile(drops / name, "<fcpxml/>");
        fs::last_write_time(drops / name,
                            fs::file_time_type::clock::now() - std::chrono::hours(1) + afterTen);
    };
    dropAt("drop-b.fcpxml", std::chrono::minutes(0));
    dropAt("drop-a.fcpxml", std::chrono::minutes(5));
    // A drop still being written, in its hidden temporary file.
    dropAt(".drop-c.fcpxml.1A2B3C4D.tmp", std::chrono::minutes(10));
    startedWith({});
    EXPECT_EQ(state().pendingXMLDropURL(), std::nullopt); // nothing taken at start

    centre.post(DarwinNotification::xmlDropped);
    EXPECT_EQ(state().pendingXMLDropURL(), drops / "drop-a.fcpxml");
    fs::remove_all(drops);
    centre.post(DarwinNotification::xmlDropped);
    EXPECT_EQ(state().pendingXMLDropURL(), std::nullopt);

    // A notification after the state object is gone finds nothing to do.
    state_.reset();
    centre.post(DarwinNotification::xmlDropped);
    centre.post(DarwinNotification::selectionChanged);
}

// The FCPXML reader played by hand, holding every comparison until the test lets it go.
class HeldValidation final : public ValidationServices {
public:
    FCPXMLParser::Document parse(const fs::path &) const override {
        FCPXMLParser::Document document;
        document.sequences.resize(2);
        document.sequences[0].name = "main edit";
        document.sequences[1].name = "Reel";
        return document;
    }
    const FCPXMLParser::Sequence *sequence(const FCPXMLParser::Document &document,
                                           const std::string &named) const override {
        return document.sequence(named);
    }
    const FCPXMLParser::Sequence *primaryTimeline(const FCPXMLParser::Document &) const override {
        return nullptr;
    }
    TimelineValidator::ValidationReport validate(const FCPXMLParser::Sequence &sequence,
                                                 const std::vector<EditEntry> &, int64_t,
                                                 int64_t) const override {
        entered.release();
        released.acquire();
        TimelineValidator::ValidationReport report;
        report.sequenceName = sequence.name;
        return report;
    }

    mutable std::binary_semaphore entered{0};
    mutable std::binary_semaphore released{0};
};

// The outcome of a validation: the compared sequence's name, or the failure's text.
struct Outcome {
    std::optional<std::string> text;
    void operator()(const AppState::ValidationResult &result) {
        if (const auto *report = std::get_if<TimelineValidator::ValidationReport>(&result)) {
            text = "report: " + report->sequenceName;
            return;
        }
        try {
            std::rethrow_exception(std::get<std::exception_ptr>(result));
        } catch (const std::exception &error) {
            text = error.what();
        }
    }
};

void awaitValidations() {
    QThreadPool::globalInstance()->waitForDone();
    MainQueue::runPending();
}

TEST_F(AppStateBridgeTest, ValidationNeedsATimelineAndReportsTheReadersFailure) {
    const auto fake = std::make_shared<testing::FakeValidation>(std::vector<std::string>{"Reel"});
    services.validation = fake;
    startedWith({alpha_, beta_});
    const fs::path fcpxml = data / "Export.fcpxml";
    testing::writeFile(fcpxml, "<fcpxml/>");

    Outcome none;
    state().validateActiveTimeline(fcpxml, nullptr, std::ref(none));
    EXPECT_EQ(none.text, "Select a timeline first, then load the FCPXML you exported for it.");
    EXPECT_EQ(fake->parses, 0);

    activate("Beta/Reel");
    Outcome first, second, missing;
    state().validateActiveTimeline(fcpxml, nullptr, std::ref(first));
    state().validateActiveTimeline(fcpxml, nullptr, std::ref(second));
    state().validateActiveTimeline(data / "missing.fcpxml", nullptr, std::ref(missing));
    EXPECT_EQ(first.text, std::nullopt); // answered from the main queue
    awaitValidations();
    EXPECT_EQ(first.text, "report: Reel");
    EXPECT_EQ(second.text, "report: Reel");
    EXPECT_EQ(missing.text, "FCPXML file not found: " + (data / "missing.fcpxml").string());

    // No answer for a receiver that is gone.
    Outcome dropped;
    auto receiver = std::make_unique<QObject>();
    state().validateActiveTimeline(fcpxml, receiver.get(), std::ref(dropped));
    receiver.reset();
    awaitValidations();
    EXPECT_EQ(dropped.text, std::nullopt);
}

TEST_F(AppStateBridgeTest, ChoosingAnotherTimelineDuringAValidationLeavesItsReport) {
    const auto held = std::make_shared<HeldValidation>();
    services.validation = held;
    startedWith({alpha_, beta_});
    activate("Alpha/main edit");
    Outcome outcome;
    state().validateActiveTimeline(data / "Export.fcpxml", nullptr, std::ref(outcome));
    held->entered.acquire();
    activate("Beta/Reel");
    held->released.release();
    awaitValidations();
    EXPECT_EQ(outcome.text, "report: main edit");
}

} // namespace
} // namespace tandrel
