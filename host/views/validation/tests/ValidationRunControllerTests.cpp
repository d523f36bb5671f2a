#include "host/views/validation/ValidationRunController.h"

#include "host/views/validation/tests/ViewFixture.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <thread>

namespace tandrel {
namespace {

using testing::PendingChecks;
namespace fs = std::filesystem;

// The controller's four fields in few words, as the views show them.
std::string described(const ValidationRunController &controller) {
    std::string text;
    if (controller.isRunning()) {
        text += "running ";
    }
    if (const auto report = controller.report()) {
        text += "report " + report->sequenceName + " ";
    }
    if (const auto error = controller.errorMessage()) {
        text += "error " + *error + " ";
    }
    const auto name = controller.loadedFileName();
    return text + (name ? "for " + *name : "idle");
}

TEST(ValidationRunController, FollowsItsChecksThroughTheViewStates) {
    PendingChecks checks;
    ValidationRunController controller(checks.runFunction());
    QSignalSpy changed(&controller, &ValidationRunController::changed);
    EXPECT_EQ(described(controller), "idle");

    controller.run("/exports/Main Edit.fcpxml");
    EXPECT_EQ(checks.files, std::vector<fs::path>{"/exports/Main Edit.fcpxml"});
    EXPECT_EQ(described(controller), "running for Main Edit.fcpxml");
    checks.succeed(0);
    EXPECT_EQ(described(controller), "report Main Edit for Main Edit.fcpxml");
    EXPECT_EQ(changed.count(), 2);

    // A failure after a success shows only the failure.
    controller.run("/exports/cut.fcpxmld");
    EXPECT_EQ(described(controller), "running for cut.fcpxmld");
    checks.fail(1, "FCPXML file not found: /exports/cut.fcpxmld");
    EXPECT_EQ(described(controller),
              "error FCPXML file not found: /exports/cut.fcpxmld for cut.fcpxmld");
    EXPECT_EQ(changed.count(), 4);

    // A check that answers before its run returns.
    ValidationRunController atOnce([](const fs::path &, ValidationRunController::Completion done) {
        done(ValidationRuns::Failure{testing::noActiveTimeline});
    });
    atOnce.run("/exports/a.fcpxml");
    EXPECT_EQ(described(atOnce),
              std::string("error ") + testing::noActiveTimeline + " for a.fcpxml");
}

TEST(ValidationRunController, ShowsOnlyTheNewestOfOverlappingChecks) {
    // Checks of a.fcpxml, b.fcpxml and c.fcpxml begin in that order and end in `endOrder`:
    // check i with the report "R<i>", or the error "E<i>" when it is in `failing`.
    struct Case {
        const char *name;
        std::vector<size_t> endOrder;
        std::vector<size_t> failing;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"in order: running until the last ends",
         {0, 1, 2},
         {1},
         {"running for c.fcpxml", "running for c.fcpxml", "report R2 for c.fcpxml"}},
        {"newest first: the older ends are dropped, a report beside no error",
         {2, 1, 0},
         {0, 1},
         {"report R2 for c.fcpxml", "report R2 for c.fcpxml", "report R2 for c.fcpxml"}},
        {"newest fails in the middle: no older report stands beside its error",
         {1, 2, 0},
         {2},
         {"running for c.fcpxml", "error E2 for c.fcpxml", "error E2 for c.fcpxml"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PendingChecks checks;
        ValidationRunController controller(checks.runFunction());
        for (const char *file : {"a.fcpxml", "b.fcpxml", "c.fcpxml"}) {
            controller.run(fs::path("/exports") / file);
            // The name changes and the outcome clears at once.
            EXPECT_EQ(described(controller), std::string("running for ") + file);
        }
        for (size_t step = 0; step < c.endOrder.size(); ++step) {
            const size_t check = c.endOrder[step];
            if (std::find(c.failing.begin(), c.failing.end(), check) != c.failing.end()) {
                checks.fail(check, "E" + std::to_string(check));
            } else {
                checks.succeed(check, "R" + std::to_string(check));
            }
            EXPECT_EQ(described(controller), c.after[step]);
        }
    }
}

TEST(ValidationRunController, ChecksEndingOnWorkerThreadsReachTheMainThread) {
    PendingChecks checks;
    auto controller = std::make_unique<ValidationRunController>(checks.runFunction());
    QSignalSpy changed(controller.get(), &ValidationRunController::changed);
    for (const char *file : {"/exports/a.fcpxml", "/exports/b.fcpxml", "/exports/c.fcpxml"}) {
        controller->run(file);
    }
    changed.clear();

    // The newest ends first and the others after it, each on a thread of its own.
    for (size_t check : {2, 0, 1}) {
        std::thread([&checks, check] {
            checks.succeed(check, "R" + std::to_string(check));
        }).join();
    }
    EXPECT_EQ(described(*controller), "report R2 for c.fcpxml");
    // The change is told on the main thread, once, for the one check that was shown.
    EXPECT_EQ(changed.count(), 0);
    platform::MainQueue::runPending();
    EXPECT_EQ(changed.count(), 1);

    // A check that ends after its controller is gone changes nothing and tells no one.
    controller->run("/exports/d.fcpxml");
    controller.reset();
    std::thread([&checks] { checks.succeed(3); }).join();
    platform::MainQueue::runPending();
}

TEST(ValidationRunController, ChecksEachDroppedFCPXMLFileOrBundle) {
    const auto file = [](const char *path) { return QUrl::fromLocalFile(QString::fromUtf8(path)); };
    struct Case {
        const char *name;
        std::vector<QUrl> urls;
        std::vector<fs::path> checked;
    };
    const Case cases[] = {
        {"a file named in capitals", {file("/exports/cut.FCPXML")}, {"/exports/cut.FCPXML"}},
        {"a bundle", {file("/exports/cut.fcpxmld/")}, {"/exports/cut.fcpxmld/"}},
        {"plain XML, which only the chooser offers", {file("/exports/cut.xml")}, {}},
        {"a location that is no file",
         {QUrl(QStringLiteral("https://example.com/cut.fcpxml"))},
         {}},
        {"nothing at all", {}, {}},
        {"three files, in their order, between others",
         {file("/exports/a.fcpxml"), file("/exports/notes.txt"), file("/exports/b.fcpxmld"),
          file("/exports/c.FcpXml")},
         {"/exports/a.fcpxml", "/exports/b.fcpxmld", "/exports/c.FcpXml"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PendingChecks checks;
        ValidationRunController controller(checks.runFunction());
        const auto data = testing::dropOf(c.urls);
        EXPECT_TRUE(ValidationRunController::offersFiles(*data));
        EXPECT_TRUE(controller.handleDrop(*data));
        EXPECT_EQ(checks.files, c.checked);
    }

    // Text that happens to name a file is no location: ignored, and the drop still accepted.
    PendingChecks checks;
    ValidationRunController controller(checks.runFunction());
    QMimeData text;
    text.setText(QStringLiteral("file:///exports/cut.fcpxml"));
    EXPECT_FALSE(ValidationRunController::offersFiles(text));
    EXPECT_TRUE(controller.handleDrop(text));
    EXPECT_EQ(checks.count(), 0u);
}

TEST(ValidationRunController, TakesThePendingExportOnce) {
    AppState state(testing::stateServices());
    PendingChecks checks;
    ValidationRunController controller(checks.runFunction());

    controller.takePendingDrop(state);
    EXPECT_EQ(checks.count(), 0u);

    // Without a timeline a check could only fail: the export waits.
    state.setPendingXMLDropURL(fs::path("/drops/drop-1.fcpxml"));
    controller.takePendingDrop(state);
    EXPECT_EQ(checks.count(), 0u);
    EXPECT_EQ(state.pendingXMLDropURL(), fs::path("/drops/drop-1.fcpxml"));
    state.setPendingXMLDropURL(std::nullopt);
    state.setActiveTimeline("main");

    // Cleared before the check starts, so that a reaction to the clearing finds nothing.
    std::vector<std::optional<fs::path>> seen;
    QObject::connect(&state, &AppState::pendingXMLDropURLChanged, &controller, [&] {
        seen.push_back(state.pendingXMLDropURL());
        controller.takePendingDrop(state);
    });
    state.setPendingXMLDropURL(fs::path("/drops/drop-1.fcpxml"));
    EXPECT_EQ(checks.files, std::vector<fs::path>{"/drops/drop-1.fcpxml"});
    EXPECT_EQ(state.pendingXMLDropURL(), std::nullopt);
    EXPECT_EQ(seen, (std::vector<std::optional<fs::path>>{"/drops/drop-1.fcpxml", std::nullopt}));
    EXPECT_EQ(described(controller), "running for drop-1.fcpxml");
}

} // namespace
} // namespace tandrel
