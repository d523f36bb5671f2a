#include "host/query/QueryResolver.h"

#include "core/tests/LibraryFixture.h"
#include "host/query/tests/QueryFixture.h"

#include <gtest/gtest.h>

#include <map>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::describedLibrary;
using testing::FakeValidation;
using testing::loadedLibrary;
using testing::ScratchFolder;

// Two generated libraries, "One" (a timeline of 3 clips) and "Two" (5 clips), shared by the
// tests of this file.
class QueryResolverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new ScratchFolder;
        one_ = new WatchedLibrary(
            loadedLibrary(describedLibrary("One", {{"Reel", 3}}), folder_->path()));
        two_ = new WatchedLibrary(
            loadedLibrary(describedLibrary("Two", {{"Reel", 5}}), folder_->path()));
    }
    static void TearDownTestSuite() {
        delete one_;
        delete two_;
        delete folder_;
    }

    static const FCPTimelineInfo &reel(const WatchedLibrary &library) {
        return library.events.at(0).timelines.at(0);
    }
    // The library with its one timeline under another id and edit count.
    static WatchedLibrary withTimeline(WatchedLibrary library, std::string id, int64_t editCount) {
        FCPTimelineInfo &timeline = library.events.at(0).timelines.at(0);
        timeline.id = std::move(id);
        timeline.editCount = editCount;
        return library;
    }

    std::shared_ptr<FakeValidation> validation =
        std::make_shared<FakeValidation>(std::vector<std::string>{"Reel"});
    QueryResolver resolver{testing::caseInsensitiveOrder, validation};

    static ScratchFolder *folder_;
    static WatchedLibrary *one_;
    static WatchedLibrary *two_;
};

ScratchFolder *QueryResolverTest::folder_ = nullptr;
WatchedLibrary *QueryResolverTest::one_ = nullptr;
WatchedLibrary *QueryResolverTest::two_ = nullptr;

TEST_F(QueryResolverTest, AnswersForAKnownTimeline) {
    resolver.reload({*one_});
    const std::string id = reel(*one_).id;
    EXPECT_EQ(resolver.availableTimelines(),
              (std::vector<TimelineChoice>{{id, "Reel", "One", "Day 1", "Day 1", 3}}));
    EXPECT_EQ(resolver.timelineResolution(id), (Size{1920, 1080}));
    EXPECT_EQ(resolver.detectedStartTimecode(id), "01:00:00:00");

    TandrelSnapshot document;
    document.timelineStartTimecode = "01:00:00:00";
    document.updatedAt = 12.5;
    const auto snapshot = resolver.completeSnapshot(id, document);
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(snapshot->timelineID, id);
    EXPECT_EQ(snapshot->timelineName, "Reel");
    EXPECT_EQ(snapshot->libraryName, "One");
    EXPECT_EQ(snapshot->timelineDropFrame, false);
    // One per display segment of the three clips.
    EXPECT_EQ(snapshot->entries.size(), 6u);
    EXPECT_EQ(snapshot->timelineStartTimecode, "01:00:00:00");
    EXPECT_EQ(snapshot->updatedAt, 12.5);

    // A reload with nothing leaves nothing.
    resolver.reload({});
    EXPECT_TRUE(resolver.availableTimelines().empty());
    EXPECT_EQ(resolver.completeSnapshot(id, document), std::nullopt);
}

TEST_F(QueryResolverTest, OfTwoTimelinesWithOneIdTheOneWithMoreEditsIsServed) {
    struct Case {
        int64_t oneEdits, twoEdits;
        const char *served;
    };
    // The snapshot entries of each library's timeline alone.
    std::map<std::string, size_t> entries;
    for (const WatchedLibrary *library : {one_, two_}) {
        resolver.reload({*library});
        entries[library->name] = resolver.completeSnapshot(reel(*library).id, {})->entries.size();
    }
    ASSERT_NE(entries["One"], entries["Two"]);

    const Case cases[] = {{12, 40, "Two"}, {40, 12, "One"}, {20, 20, "One"}};
    for (const Case &c : cases) {
        resolver.reload(
            {withTimeline(*one_, "shared", c.oneEdits), withTimeline(*two_, "shared", c.twoEdits)});
        const auto timelines = resolver.availableTimelines();
        ASSERT_EQ(timelines.size(), 1u);
        EXPECT_EQ(timelines[0].library, c.served);
        EXPECT_EQ(timelines[0].editCount, std::max(c.oneEdits, c.twoEdits));
        // The handle reads the served library's database.
        const auto snapshot = resolver.completeSnapshot("shared", {});
        ASSERT_TRUE(snapshot);
        EXPECT_EQ(snapshot->libraryName, c.served);
        EXPECT_EQ(snapshot->entries.size(), entries[c.served]);
    }
}

TEST_F(QueryResolverTest, SortsByLibraryThenEventThenNameWithoutRegardToCase) {
    // Records made by hand around one real database; ids give the order of equal places.
    const auto library = [&](std::string name,
                             std::vector<std::pair<std::string, std::vector<std::string>>> events) {
        WatchedLibrary made = WatchedLibrary::forURL(one_->url);
        made.name = name;
        for (auto &[eventName, timelines] : events) {
            WatchedEvent event{
                Uuid::random(), eventName, eventName, one_->events.at(0).databaseURL, {}};
            for (const std::string &timeline : timelines) {
                event.timelines.push_back({name + "/" + eventName + "/" + timeline, timeline,
                                           reel(*one_).collectionPK, 1, std::nullopt});
            }
            made.events.push_back(std::move(event));
        }
        return made;
    };
    resolver.reload({library("b", {{"Day 2", {"cut"}}, {"day 1", {"Zeta", "alpha", "Beta"}}}),
                     library("A", {{"x", {"same"}}}), library("a", {{"x", {"same"}}})});
    std::vector<std::string> order;
    for (const TimelineChoice &timeline : resolver.availableTimelines()) {
        order.push_back(timeline.id);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"A/x/same", "a/x/same", "b/day 1/alpha",
                                               "b/day 1/Beta", "b/day 1/Zeta", "b/Day 2/cut"}));
}

TEST_F(QueryResolverTest, AnEventWhoseDatabaseIsMissingOffersNoTimelines) {
    WatchedLibrary library = *one_;
    WatchedEvent missing = library.events.at(0);
    missing.name = "Gone";
    missing.databaseURL = folder_->path() / "Gone/CurrentVersion.fcpevent";
    missing.timelines.at(0).id = "gone#1";
    library.events.insert(library.events.begin(), missing);
    resolver.reload({library});
    const auto timelines = resolver.availableTimelines();
    ASSERT_EQ(timelines.size(), 1u);
    EXPECT_EQ(timelines[0].id, reel(*one_).id);
}

TEST_F(QueryResolverTest, AnUnknownTimelineHasNoAnswersAndLeavesTheLockFree) {
    resolver.reload({*one_});
    // Each call below would refuse to take the lock again had one before it kept it.
    EXPECT_EQ(resolver.timelineResolution("unknown"), std::nullopt);
    EXPECT_EQ(resolver.detectedStartTimecode("unknown"), std::nullopt);
    EXPECT_EQ(resolver.completeSnapshot("unknown", {}), std::nullopt);
    EXPECT_THROW(resolver.validateAgainstFCPXML("unknown", folder_->path()),
                 QueryResolver::ValidationError);
    EXPECT_EQ(resolver.availableTimelines().size(), 1u);
}

TEST_F(QueryResolverTest, ValidationFailuresSayWhatWentWrong) {
    ScratchFolder scratch;
    const fs::path fcpxml = scratch / "Export.fcpxml";
    testing::writeFile(fcpxml, "<fcpxml/>");
    resolver.reload({*one_});
    const std::string id = reel(*one_).id;

    const auto failure = [&](QueryResolver &with, const std::string &timeline) -> std::string {
        try {
            with.validateAgainstFCPXML(timeline, fcpxml);
        } catch (const std::exception &error) {
            return error.what();
        }
        return "(no failure)";
    };
    EXPECT_EQ(failure(resolver, "unknown"),
              "The selected timeline is no longer available. Re-select it and try again.");
    EXPECT_EQ(validation->parses, 0);
    // The readers give an empty list rather than fail; only a failure of memory gets here.
    EXPECT_STREQ(QueryResolver::ValidationError::edlUnavailable().what(),
                 "Could not resolve the selected timeline's edit list from the library.");

    QueryResolver twoSequences(
        testing::caseInsensitiveOrder,
        std::make_shared<FakeValidation>(std::vector<std::string>{"Other", "Another"}));
    twoSequences.reload({*one_});
    EXPECT_EQ(failure(twoSequences, id),
              "The FCPXML contains no timeline matching 'Reel' (and no single obvious timeline "
              "to fall back to). Export the FCPXML for the timeline you selected here.");

    // The reader's own failure comes through unchanged.
    EXPECT_THROW(resolver.validateAgainstFCPXML(id, scratch / "missing.fcpxml"),
                 FakeValidation::ReaderError);
    EXPECT_EQ(failure(resolver, id), "(no failure)");

    QueryResolver withoutReader(testing::caseInsensitiveOrder);
    withoutReader.reload({*one_});
    EXPECT_EQ(failure(withoutReader, id),
              "FCPXML validation is not available in this build of the host.");
}

TEST_F(QueryResolverTest, ValidationComparesTheNamedSequenceElseTheObviousOne) {
    ScratchFolder scratch;
    const fs::path fcpxml = scratch / "Export.fcpxml";
    testing::writeFile(fcpxml, "<fcpxml/>");
    struct Case {
        std::vector<std::string> sequences;
        const char *compared;
    };
    const Case cases[] = {{{"Other", "Reel"}, "Reel"}, {{"Something else"}, "Something else"}};
    for (const Case &c : cases) {
        const auto services = std::make_shared<FakeValidation>(c.sequences);
        QueryResolver query(testing::caseInsensitiveOrder, services);
        query.reload({*one_});
        const auto report = query.validateAgainstFCPXML(reel(*one_).id, fcpxml);
        EXPECT_EQ(report.sequenceName, c.compared);
        EXPECT_EQ(report.resolverEntryCount, 3);
        EXPECT_EQ(services->tolerance, 0);
        EXPECT_EQ(services->pairingWindow, 3);
    }
}

} // namespace
} // namespace tandrel
