#include "core/validation/ValidationRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

namespace tandrel {
namespace {

using Report = TimelineValidator::ValidationReport;
using Failure = ValidationRuns::Failure;

Report reportNamed(std::string sequenceName) {
    Report report;
    report.sequenceName = std::move(sequenceName);
    return report;
}

// The state in few words: "running a.fcpxml", "report A for a.fcpxml",
// "error E for a.fcpxml", with "running" and an outcome side by side when both are there.
std::string described(const ValidationRuns::State &state) {
    std::string text;
    if (state.isRunning) {
        text += "running ";
    }
    if (state.report) {
        text += "report " + state.report->sequenceName + " ";
    }
    if (state.errorMessage) {
        text += "error " + *state.errorMessage + " ";
    }
    return text + (state.loadedFileName ? "for " + *state.loadedFileName : "idle");
}

TEST(ValidationRuns, OneRunAtATimeMovesThroughTheViewStates) {
    ValidationRuns runs;
    EXPECT_EQ(described(runs.state()), "idle");

    const auto first = runs.begin("/exports/Main Edit.fcpxml");
    EXPECT_EQ(described(runs.state()), "running for Main Edit.fcpxml");
    EXPECT_TRUE(runs.finish(first, reportNamed("Main Edit")));
    EXPECT_EQ(described(runs.state()), "report Main Edit for Main Edit.fcpxml");

    // A failure after a success leaves only the failure.
    const auto second = runs.begin("/exports/cut.fcpxmld/");
    EXPECT_EQ(described(runs.state()), "running for cut.fcpxmld");
    EXPECT_TRUE(runs.finish(second, Failure{"FCPXML file not found: /exports/cut.fcpxmld"}));
    EXPECT_EQ(described(runs.state()),
              "error FCPXML file not found: /exports/cut.fcpxmld for cut.fcpxmld");
    // An ended run cannot end again.
    EXPECT_FALSE(runs.finish(second, reportNamed("late")));
    EXPECT_FALSE(runs.finish(99, reportNamed("unknown")));

    // A success after a failure leaves only the report, shared as it was made.
    const auto third = runs.begin("b.fcpxml");
    EXPECT_TRUE(runs.finish(third, reportNamed("B")));
    const auto shown = runs.state().report;
    EXPECT_EQ(described(runs.state()), "report B for b.fcpxml");
    EXPECT_EQ(runs.state().report, shown);
}

TEST(ValidationRuns, OnlyTheNewestOfOverlappingRunsIsShown) {
    // Runs begin in the order of `files` (run i checks files[i]); they end in `endOrder`, run
    // i with report "R<i>" or, when listed in `failing`, with error "E<i>". `after` is the
    // state after each end.
    struct Case {
        const char *name;
        std::vector<std::string> files;
        std::vector<size_t> endOrder;
        std::vector<size_t> failing;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"the older ends first: dropped, still running",
         {"a.fcpxml", "b.fcpxml"},
         {0, 1},
         {1},
         {"running for b.fcpxml", "error E1 for b.fcpxml"}},
        {"the newer ends first: the older's end is dropped",
         {"a.fcpxml", "b.fcpxml"},
         {1, 0},
         {0},
         {"report R1 for b.fcpxml", "report R1 for b.fcpxml"}},
        {"three in any order: the newest stands",
         {"a.fcpxml", "b.fcpxml", "c.fcpxml"},
         {2, 0, 1},
         {},
         {"report R2 for c.fcpxml", "report R2 for c.fcpxml", "report R2 for c.fcpxml"}},
        {"the same file twice: still only the second run",
         {"a.fcpxml", "a.fcpxml"},
         {0, 1},
         {0},
         {"running for a.fcpxml", "report R1 for a.fcpxml"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ValidationRuns runs;
        std::vector<ValidationRuns::RunNumber> numbers;
        for (const std::string &file : c.files) {
            numbers.push_back(runs.begin(file));
        }
        for (size_t step = 0; step < c.endOrder.size(); ++step) {
            const size_t run = c.endOrder[step];
            const bool fails =
                std::find(c.failing.begin(), c.failing.end(), run) != c.failing.end();
            // Appending keeps GCC 12 from a false -Wrestrict alarm on "R" + string.
            const std::string number = std::to_string(run);
            ValidationRuns::Outcome outcome = reportNamed(std::string("R").append(number));
            if (fails) {
                outcome = Failure{std::string("E").append(number)};
            }
            EXPECT_EQ(runs.finish(numbers[run], std::move(outcome)), run + 1 == c.files.size());
            EXPECT_EQ(described(runs.state()), c.after[step]) << "after run " << run << " ended";
        }
    }

    // The oldest run ends last, after a newer one has shown its error and a third has begun
    // (and cleared that error): it changes nothing.
    ValidationRuns runs;
    const auto first = runs.begin("a.fcpxml");
    const auto second = runs.begin("b.fcpxml");
    runs.finish(second, Failure{"E"});
    runs.begin("c.fcpxml");
    EXPECT_FALSE(runs.finish(first, reportNamed("A")));
    EXPECT_EQ(described(runs.state()), "running for c.fcpxml");
}

TEST(ValidationRuns, TakesDroppedFCPXMLFilesAndFoldersByTheirNames) {
    const struct {
        const char *path;
        bool accepted;
        const char *name;
    } cases[] = {
        {"/exports/cut.fcpxml", true, "cut.fcpxml"},
        {"/exports/cut.FCPXML", true, "cut.FCPXML"},
        {"/exports/Cut.FcpXmlD", true, "Cut.FcpXmlD"},
        {"/exports/cut.fcpxmld/", true, "cut.fcpxmld"},
        {"/exports/cut.fcpxmld//", true, "cut.fcpxmld"},
        {"cut.fcpxml", true, "cut.fcpxml"},
        {"/exports/cut.v2.fcpxml", true, "cut.v2.fcpxml"},
        {"/exports/cut.xml", false, "cut.xml"},
        {"/exports/cut.fcpxml.zip", false, "cut.fcpxml.zip"},
        {"/exports/cut.fcpxm", false, "cut.fcpxm"},
        {"/exports/cut fcpxml", false, "cut fcpxml"},
        // A name that only starts with a dot has no extension.
        {"/exports/.fcpxml", false, ".fcpxml"},
        {"/exports/", false, "exports"},
        {"/", false, ""},
        {"", false, ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ValidationRuns::acceptsDroppedFile(c.path), c.accepted) << c.path;
        EXPECT_EQ(ValidationRuns::fileName(c.path), c.name) << c.path;
    }
}

} // namespace
} // namespace tandrel
