// Validations on threads of their own while the main thread reloads the libraries and rebuilds
// the snapshot: the test the ThreadSanitizer build runs for the query layer.

#include "host/query/QueryResolver.h"

#include "core/tests/LibraryFixture.h"
#include "host/query/tests/QueryFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace tandrel {
namespace {

TEST(QueryResolverConcurrent, ValidationsOnThreadsWhileTheMainThreadReloadsAndRewrites) {
    testing::ScratchFolder folder;
    const WatchedLibrary sample =
        testing::loadedLibrary(sample::standardSampleLibrary(), folder.path());
    const WatchedLibrary other =
        testing::loadedLibrary(testing::describedLibrary("Other", {{"Sample", 4}}), folder.path());
    testing::writeFile(folder / "Sample.fcpxml", "<fcpxml/>");
    QueryResolver resolver(testing::caseInsensitiveOrder, std::make_shared<testing::FakeValidation>(
                                                              std::vector<std::string>{"Sample"}));
    resolver.reload({sample});
    std::string id;
    for (const TimelineChoice &timeline : resolver.availableTimelines()) {
        if (timeline.name == "Sample" && timeline.library == "Sample") {
            id = timeline.id;
        }
    }
    ASSERT_FALSE(id.empty());

    resolver.reload({sample, other});
    const size_t timelineCount = resolver.availableTimelines().size();
    const size_t entryCount = resolver.completeSnapshot(id, {})->entries.size();

    std::atomic<bool> reloading{true};
    std::atomic<int> validations{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            // At least a few validations each, and on until the main thread is done.
            for (int n = 0; reloading || n < 3; ++n) {
                const auto report = resolver.validateAgainstFCPXML(id, folder / "Sample.fcpxml");
                ASSERT_EQ(report.sequenceName, "Sample");
                ASSERT_EQ(report.resolverEntryCount, 13);
                ++validations;
            }
        });
    }
    for (int round = 0; round < 8; ++round) {
        resolver.reload(round % 2 ? std::vector{sample, other} : std::vector{other, sample});
        const auto snapshot = resolver.completeSnapshot(id, {});
        // As the state object does once the snapshot is written: the readers the reload
        // replaced are taken apart while validations run.
        resolver.releaseReplacedReaders();
        ASSERT_TRUE(snapshot);
        EXPECT_EQ(snapshot->entries.size(), entryCount);
        EXPECT_EQ(resolver.availableTimelines().size(), timelineCount);
        EXPECT_EQ(resolver.timelineResolution(id), (Size{1920, 1080}));
    }
    reloading = false;
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_GE(validations, 12);
}

} // namespace
} // namespace tandrel
