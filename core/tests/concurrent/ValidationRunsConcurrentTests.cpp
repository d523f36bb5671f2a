// Overlapping validation runs that end on worker threads, in an order nobody chose, while the
// view's thread keeps starting runs and reading the state: the test the ThreadSanitizer build
// runs for the validation views' run state.

#include "core/validation/ValidationRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <latch>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace tandrel {
namespace {

using Report = TimelineValidator::ValidationReport;

TEST(ValidationRunsConcurrent, TheNewestRunStandsWhateverOrderWorkersEndIn) {
    constexpr int rounds = 20;
    constexpr int runsPerRound = 8;
    std::mt19937 random(28);

    for (int round = 0; round < rounds; ++round) {
        ValidationRuns runs;
        // Each worker waits until its run is released, then ends it.
        std::vector<std::unique_ptr<std::latch>> released;
        std::vector<int> waiting;
        const auto releaseOneWaiting = [&] {
            const size_t at = std::uniform_int_distribution<size_t>(0, waiting.size() - 1)(random);
            released[waiting[at]]->count_down();
            waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(at));
        };
        std::atomic<int> shown{0};
        std::vector<std::thread> workers;

        for (int i = 0; i < runsPerRound; ++i) {
            released.push_back(std::make_unique<std::latch>(1));
            const auto number = runs.begin("cut " + std::to_string(i) + ".fcpxml");
            // In every other round the newest run fails.
            const bool fails = (i + round) % 2 == 1;
            workers.emplace_back([&runs, &shown, latch = released.back().get(), i, number, fails] {
                latch->wait();
                Report report;
                report.sequenceName = "run " + std::to_string(i);
                ValidationRuns::Outcome outcome = std::move(report);
                if (fails) {
                    outcome = ValidationRuns::Failure{"failed " + std::to_string(i)};
                }
                // Only the last run begun can be shown.
                if (runs.finish(number, std::move(outcome))) {
                    ++shown;
                    EXPECT_EQ(i, runsPerRound - 1);
                }
            });
            // Some earlier runs end while later ones begin.
            if (!waiting.empty() && random() % 2 == 0) {
                releaseOneWaiting();
            }
            waiting.push_back(i);
        }
        // The rest end in any order, while the view reads: a state is never running beside an
        // outcome, never holds both outcomes, and always names the newest file.
        while (!waiting.empty()) {
            releaseOneWaiting();
            for (int read = 0; read < 10; ++read) {
                const ValidationRuns::State state = runs.state();
                EXPECT_FALSE(state.isRunning && (state.report || state.errorMessage));
                EXPECT_FALSE(state.report && state.errorMessage);
                EXPECT_EQ(state.loadedFileName,
                          "cut " + std::to_string(runsPerRound - 1) + ".fcpxml");
            }
        }
        for (std::thread &worker : workers) {
            worker.join();
        }

        EXPECT_EQ(shown, 1);
        const ValidationRuns::State state = runs.state();
        EXPECT_FALSE(state.isRunning);
        const std::string newest = std::to_string(runsPerRound - 1);
        if ((runsPerRound - 1 + round) % 2 == 1) {
            EXPECT_FALSE(state.report);
            EXPECT_EQ(state.errorMessage, "failed " + newest);
        } else {
            ASSERT_TRUE(state.report);
            EXPECT_EQ(state.report->sequenceName, "run " + newest);
            EXPECT_FALSE(state.errorMessage);
        }
    }
}

} // namespace
} // namespace tandrel
