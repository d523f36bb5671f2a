#include "host/state/TimelineTextOrder.h"

#include "core/tests/LibraryFixture.h"
#include "host/query/tests/QueryFixture.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

TEST(TimelineTextOrder, LibrariesBAndASortWithAAndAFirstInTheOrderOfTheirIds) {
    testing::ScratchFolder folder;
    const WatchedLibrary real =
        testing::loadedLibrary(testing::describedLibrary("Real", {{"Reel", 1}}), folder.path());
    // Three libraries around one real database, each with a timeline "Reel" in "Day 1"; the
    // ids set the order of the texts that compare the same.
    const auto named = [&](const std::string &name, const std::string &id) {
        WatchedLibrary library = real;
        library.name = name;
        library.events.at(0).timelines.at(0).id = id;
        return library;
    };
    QueryResolver resolver(timelineTextOrder());
    resolver.reload({named("b", "1"), named("a", "2"), named("A", "3")});
    std::vector<std::string> libraries;
    for (const TimelineChoice &timeline : resolver.availableTimelines()) {
        libraries.push_back(timeline.library);
    }
    EXPECT_EQ(libraries, (std::vector<std::string>{"a", "A", "b"}));

    const QueryResolver::TextOrder order = timelineTextOrder();
    EXPECT_EQ(order("Day 1", "day 1"), std::weak_ordering::equivalent);
    EXPECT_EQ(order("alpha", "Beta"), std::weak_ordering::less);
    EXPECT_EQ(order("Zeta", "beta"), std::weak_ordering::greater);
}

} // namespace
} // namespace tandrel
