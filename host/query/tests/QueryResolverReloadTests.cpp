#include "host/query/QueryResolver.h"

#include "core/snapshot/SnapshotEncoder.h"
#include "core/support/JsonText.h"
#include "core/tests/LibraryFixture.h"
#include "host/query/tests/QueryFixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace tandrel {
namespace {

using testing::caseInsensitiveOrder;
using testing::loadedLibrary;
using testing::ScratchFolder;

// Renames a clip in an event database as a save of the editor would: every blob that holds
// the name holds the new one. Names of equal length keep the blobs' layout, so the bytes can
// be swapped in place.
void renameInDatabase(const std::filesystem::path &database, const std::string &from,
                      const std::string &to) {
    ASSERT_EQ(from.size(), to.size());
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
    sqlite3_stmt *select = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, ZDICTIONARYDATA FROM ZCOLLECTIONMD", -1, &select,
                       nullptr);
    std::vector<std::pair<int64_t, std::string>> renamed;
    while (sqlite3_step(select) == SQLITE_ROW) {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(select, 1));
        std::string blob(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(select, 1)));
        if (const size_t at = blob.find(from); at != std::string::npos) {
            blob.replace(at, from.size(), to);
            renamed.emplace_back(sqlite3_column_int64(select, 0), std::move(blob));
        }
    }
    sqlite3_finalize(select);
    ASSERT_FALSE(renamed.empty());
    for (const auto &[rowid, blob] : renamed) {
        sqlite3_stmt *update = nullptr;
        sqlite3_prepare_v2(db, "UPDATE ZCOLLECTIONMD SET ZDICTIONARYDATA = ? WHERE rowid = ?", -1,
                           &update, nullptr);
        sqlite3_bind_blob(update, 1, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(update, 2, rowid);
        ASSERT_EQ(sqlite3_step(update), SQLITE_DONE);
        sqlite3_finalize(update);
    }
    sqlite3_close(db);
}

// A save that the watcher reports reloads the query layer; what it read of the library before
// (its edit lists, and the read models they were read through) goes with the reload, and the
// timeline resolves as saved. Until the change is reported, the lists read stand.
TEST(QueryResolverReload, ResolvesAClipRenamedInTheLibraryOnceTheChangeIsReported) {
    ScratchFolder folder;
    const WatchedLibrary library = loadedLibrary(sample::standardSampleLibrary(), folder.path());
    QueryResolver resolver(caseInsensitiveOrder);
    resolver.reload({library});
    const auto timelines = resolver.availableTimelines();
    const auto sample = std::find_if(timelines.begin(), timelines.end(),
                                     [](const TimelineChoice &t) { return t.name == "Sample"; });
    ASSERT_NE(sample, timelines.end());
    const auto clipNames = [&] {
        std::vector<std::string> names;
        const auto snapshot = resolver.completeSnapshot(sample->id, TandrelSnapshot{});
        for (const SnapshotEntry &entry : snapshot.value().entries) {
            names.push_back(entry.metadata.sourceClipName);
        }
        return names;
    };
    const std::vector<std::string> before = clipNames();
    ASSERT_NE(std::find(before.begin(), before.end(), "Kitchen Slow"), before.end());

    const auto event =
        std::find_if(library.events.begin(), library.events.end(),
                     [&](const WatchedEvent &e) { return e.path == sample->eventPath; });
    ASSERT_NE(event, library.events.end());
    renameInDatabase(event->databaseURL, "Kitchen Slow", "Kitchen Fast");
    EXPECT_EQ(clipNames(), before);

    resolver.reload({library});
    std::vector<std::string> expected = before;
    std::replace(expected.begin(), expected.end(), std::string("Kitchen Slow"),
                 std::string("Kitchen Fast"));
    EXPECT_EQ(clipNames(), expected);
}

// A reload after a save reads again only what the save changed: the snapshot of every timeline
// is the one a query resolver that never read the library before gives, written byte for byte
// the same by an encoder that wrote the timeline before the save.
TEST(QueryResolverReload, AReloadAfterASaveGivesWhatAFreshReadingGives) {
    ScratchFolder folder;
    const WatchedLibrary library = loadedLibrary(sample::standardSampleLibrary(), folder.path());
    // One preset for all: a new one has an identity of its own.
    const TandrelSnapshot document;
    QueryResolver reloaded(caseInsensitiveOrder);
    reloaded.reload({library});
    std::map<std::string, SnapshotEncoder> encoders;
    for (const TimelineChoice &timeline : reloaded.availableTimelines()) {
        const auto snapshot = reloaded.completeSnapshot(timeline.id, document);
        ASSERT_TRUE(snapshot) << timeline.name;
        encoders[timeline.id].encode(*snapshot);
    }

    // The clip lives in the event of the timeline "Sample".
    const auto timelinesBefore = reloaded.availableTimelines();
    const auto sample = std::find_if(timelinesBefore.begin(), timelinesBefore.end(),
                                     [](const TimelineChoice &t) { return t.name == "Sample"; });
    ASSERT_NE(sample, timelinesBefore.end());
    for (const WatchedEvent &event : library.events) {
        if (event.path == sample->eventPath) {
            renameInDatabase(event.databaseURL, "Kitchen Slow", "Kitchen Fast");
        }
    }
    reloaded.reload({library});
    QueryResolver fresh(caseInsensitiveOrder);
    fresh.reload({library});
    const auto timelines = fresh.availableTimelines();
    ASSERT_EQ(reloaded.availableTimelines(), timelines);
    bool renamed = false;
    for (const TimelineChoice &timeline : timelines) {
        SCOPED_TRACE(timeline.name);
        const auto expected = fresh.completeSnapshot(timeline.id, document);
        const auto snapshot = reloaded.completeSnapshot(timeline.id, document);
        ASSERT_TRUE(expected && snapshot);
        EXPECT_EQ(*snapshot, *expected);
        EXPECT_EQ(encoders[timeline.id].encode(*snapshot), encodeJsonText(Json(*expected)));
        for (const SnapshotEntry &entry : snapshot->entries) {
            renamed = renamed || entry.metadata.sourceClipName == "Kitchen Fast";
        }
    }
    EXPECT_TRUE(renamed);
}

// A reading that meets half a save (a reload that keeps its readers, which answer from what
// they hold, or a snapshot not read) decodes little or nothing: the decodes kept for the reading
// after the save stay, so that reading decodes only what the save changed, not the library anew.
TEST(QueryResolverReload, DecodesKeptForTheNextReadingOutlastAReadingCutShortByASave) {
    for (const bool beforeTheReload : {true, false}) {
        SCOPED_TRACE(beforeTheReload ? "the commit begun before the reload" : "after it");
        ScratchFolder folder;
        const WatchedLibrary library =
            loadedLibrary(sample::standardSampleLibrary(), folder.path());
        QueryResolver resolver(caseInsensitiveOrder);
        resolver.reload({library});
        for (const TimelineChoice &timeline : resolver.availableTimelines()) {
            ASSERT_TRUE(resolver.completeSnapshot(timeline.id, TandrelSnapshot{}));
        }
        const size_t kept = resolver.keptDecodes();
        ASSERT_GT(kept, 0u);

        // A commit through a rollback journal under way in every database.
        const auto beginCommits = [&] {
            for (const WatchedEvent &event : library.events) {
                std::ofstream(event.databaseURL.string() + "-journal", std::ios::binary)
                    << "\xd9\xd5\x05\xf9\x20\xa1\x63\xd7";
            }
        };
        if (beforeTheReload) {
            beginCommits();
        }
        resolver.reload({library});
        if (!beforeTheReload) {
            beginCommits();
        }
        for (const TimelineChoice &timeline : resolver.availableTimelines()) {
            std::string midSave;
            EXPECT_FALSE(resolver.completeSnapshot(timeline.id, TandrelSnapshot{}, &midSave));
            EXPECT_FALSE(midSave.empty());
        }
        for (const WatchedEvent &event : library.events) {
            std::filesystem::remove(event.databaseURL.string() + "-journal");
        }
        resolver.reload({library});
        EXPECT_EQ(resolver.keptDecodes(), kept);
    }
}
} // namespace
} // namespace tandrel
