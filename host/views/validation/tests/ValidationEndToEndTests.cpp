// The views over the real state object: the sample library, the export of its "Trailer"
// timeline that is checked in beside the command-line tool's tests, and the host's own run
// function: the state object checks on a pool thread and answers on the main thread.

#include "host/views/validation/ValidationView.h"

#include "host/views/validation/tests/ViewFixture.h"

#include <gtest/gtest.h>

#include <QThreadPool>

#include <algorithm>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

bool shows(const QWidget &view, const std::string &text) {
    const auto texts = testing::shownTexts(&view);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

void finishChecks() {
    QThreadPool::globalInstance()->waitForDone();
    platform::MainQueue::runPending();
}

TEST(ValidationEndToEnd, WithoutATimelineItFailsThenTheSampleLibraryPassesAndAMissingFileFails) {
    testing::ScratchFolder folder;
    const fs::path bundle =
        sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), folder.path());
    AppState state(testing::stateServices());
    state.addLibrary(bundle);
    platform::MainQueue::runPending();
    ValidationView view(state, ValidationRunController::checkingActiveTimeline(state));
    view.show();

    const fs::path exported = fs::path(TANDREL_CLI_TESTS) / "Trailer.fcpxml";
    view.run(exported);
    finishChecks();
    EXPECT_EQ(view.controller().errorMessage(), testing::noActiveTimeline);

    state.setActiveTimeline(testing::timelineNamed(state, "Trailer"));
    ASSERT_TRUE(state.activeTimelineID());
    state.setPendingXMLDropURL(exported);
    finishChecks();
    EXPECT_TRUE(shows(view, "PASS \u2014 resolver matches FCPXML"));
    EXPECT_TRUE(shows(view, "Trailer  (project)"));
    EXPECT_TRUE(shows(view, "3/3 exact matches \u2014 0 field mismatches, 0 in FCPXML only, 0 "
                            "in resolver only"));
    EXPECT_FALSE(view.controller().isRunning());

    const fs::path missing = folder.path() / "Exports" / "Trailer final.fcpxml";
    view.run(missing);
    finishChecks();
    EXPECT_TRUE(shows(view, "FCPXML file not found: " + missing.string()));
    EXPECT_FALSE(view.controller().report());
}

} // namespace
} // namespace tandrel
