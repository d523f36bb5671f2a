#include "core/model/FCPLibrary.h"
#include "host/query/TimelineChoice.h"
#include "host/query/WatchedLibrary.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

TEST(HostLibraryRecords, ALibraryIsNamedAfterItsBundleAndLoadsOnlyEventsWithTimelines) {
    const std::pair<const char *, const char *> names[] = {
        {"/Volumes/Media/Show.fcpbundle", "Show"},
        {"/Volumes/Media/My Library.fcpbundle", "My Library"},
        {"/Volumes/Media/Cut.v2.fcpbundle/", "Cut.v2"},
    };
    for (const auto &[url, name] : names) {
        const WatchedLibrary library = WatchedLibrary::forURL(url);
        EXPECT_EQ(library.name, name);
        EXPECT_EQ(library.url, url);
        EXPECT_FALSE(library.isLoaded);
        EXPECT_TRUE(library.events.empty());
    }
    EXPECT_NE(WatchedLibrary::forURL("/a.fcpbundle").id, WatchedLibrary::forURL("/a.fcpbundle").id);

    WatchedLibrary library = WatchedLibrary::forURL("/Volumes/Media/Show.fcpbundle");
    library.errorMessage = "earlier failure";
    const FCPTimelineInfo reel{"db#1", "Reel 1", 1, 12, std::nullopt};
    const FCPLibrary scan{
        "/Volumes/Media/Show.fcpbundle",
        "Show (scanned)",
        {FCPEvent("Empty", std::nullopt, "/e/CurrentVersion.fcpevent", {}),
         FCPEvent("Day 1", "Shoot / Day 1", "/d/CurrentVersion.fcpevent", {reel})}};
    const WatchedLibrary loaded = library.loadedWith(scan);
    EXPECT_EQ(loaded.id, library.id);
    EXPECT_EQ(loaded.name, "Show (scanned)");
    EXPECT_TRUE(loaded.isLoaded);
    EXPECT_EQ(loaded.errorMessage, "earlier failure");
    ASSERT_EQ(loaded.events.size(), 1u);
    EXPECT_EQ(loaded.events[0].name, "Day 1");
    EXPECT_EQ(loaded.events[0].path, "Shoot / Day 1");
    EXPECT_EQ(loaded.events[0].databaseURL, "/d/CurrentVersion.fcpevent");
    EXPECT_EQ(loaded.events[0].timelines, std::vector<FCPTimelineInfo>{reel});
    // Every load gives its events new ids.
    EXPECT_NE(library.loadedWith(scan).events[0].id, loaded.events[0].id);
}

TEST(HostLibraryRecords, ALibraryIsAFolderWhoseNameEndsInTheBundleExtensionAsWritten) {
    const struct {
        const char *url;
        const char *folder;
        bool isLibrary;
    } cases[] = {
        {"/Volumes/Media/Show.fcpbundle", "/Volumes/Media/Show.fcpbundle", true},
        {"/Volumes/Media/Show.fcpbundle/", "/Volumes/Media/Show.fcpbundle", true},
        {"/Volumes/Media/Show.fcpbundle//", "/Volumes/Media/Show.fcpbundle", true},
        {"Show.fcpbundle", "Show.fcpbundle", true},
        {"/Volumes/Media/Show.FCPBUNDLE", "/Volumes/Media/Show.FCPBUNDLE", false},
        {"/Volumes/Media/Show.fcpbundle.zip", "/Volumes/Media/Show.fcpbundle.zip", false},
        {"/Volumes/Media/.fcpbundle", "/Volumes/Media/.fcpbundle", false},
        {"/Volumes/Media/", "/Volumes/Media", false},
        {"/", "/", false},
    };
    for (const auto &c : cases) {
        const std::filesystem::path folder = WatchedLibrary::folderOf(c.url);
        EXPECT_EQ(folder, c.folder) << c.url;
        EXPECT_EQ(WatchedLibrary::isLibraryFolder(folder), c.isLibrary) << c.url;
    }
}

TEST(HostLibraryRecords, TimelineChoicesAreEqualOnlyInAllSixValues) {
    const TimelineChoice choice{"db#1", "Reel 1", "Show", "Day 1", "Day 1", 12};
    TimelineChoice moreEdits = choice;
    moreEdits.editCount = 40;
    EXPECT_EQ(choice, TimelineChoice(choice));
    EXPECT_NE(choice, moreEdits);
}

} // namespace
} // namespace tandrel
