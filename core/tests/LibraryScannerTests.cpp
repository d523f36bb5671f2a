#include "core/database/DatabaseFileState.h"
#include "core/database/LibraryScanner.h"
#include "core/tests/LibraryFixture.h"
#include "core/tests/LogCapture.h"
#include "tools/make-sample-library/EditorSaves.h"
#include "tools/make-sample-library/EventDatabaseWriter.h"
#include "tools/make-sample-library/KeyedArchiver.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <functional>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace sample;
using testing::ScratchFolder;
using testing::snapshotFiles;

// name: edits, in discovery order.
std::vector<std::string> timelineSummary(const FCPEvent &event) {
    std::vector<std::string> summary;
    for (const auto &t : event.timelines) {
        summary.push_back(t.name + ": " + std::to_string(t.editCount));
    }
    return summary;
}

const FCPEvent *eventAt(const FCPLibrary &library, const std::string &path) {
    auto it = std::find_if(library.events.begin(), library.events.end(),
                           [&](const FCPEvent &e) { return e.path == path; });
    return it == library.events.end() ? nullptr : &*it;
}

Event eventWithTimeline(const std::string &folder, const std::string &timeline = "Edit",
                        int clips = 1) {
    Event event;
    event.folder = folder;
    Timeline t;
    t.name = timeline;
    for (int i = 0; i < clips; ++i) {
        t.spine.push_back(Clip::gap(24));
    }
    event.timelines = {t};
    return event;
}

TEST(LibraryScanner, ScansTheSampleLibrary) {
    ScratchFolder folder;
    const fs::path bundle = SampleLibraryWriter::write(standardSampleLibrary(), folder.path());
    const auto before = snapshotFiles(folder.path());

    const FCPLibrary library = LibraryScanner::scan(bundle);
    EXPECT_EQ(library.url, bundle);
    EXPECT_EQ(library.name, "Sample");
    ASSERT_EQ(library.events.size(), 3u);

    const FCPEvent *day1 = eventAt(library, "Day 1");
    const FCPEvent *selects = eventAt(library, "Day 1 / Selects");
    const FCPEvent *day2 = eventAt(library, "Shoot Days / Day 2");
    ASSERT_TRUE(day1 && selects && day2);
    // An event comes right before the events nested in it.
    EXPECT_EQ(selects - day1, 1);
    EXPECT_EQ(day1->name, "Day 1");
    EXPECT_EQ(selects->name, "Day 1");
    EXPECT_EQ(day2->name, "Shoot Days");
    EXPECT_EQ(day1->databaseURL, bundle / "Day 1" / "CurrentVersion.fcpevent");
    // The empty "Edit" of Day 1 is shadowed by the edited one nested in it; the compound
    // clip's sequence is no timeline; a shared project is one.
    EXPECT_EQ(timelineSummary(*day1),
              (std::vector<std::string>{"Assembly: 5", "Trailer: 3", "Effects: 6",
                                        "Multicam Edit: 2", "Sample: 12"}));
    EXPECT_EQ(timelineSummary(*selects), (std::vector<std::string>{"Edit: 2"}));
    EXPECT_EQ(timelineSummary(*day2),
              (std::vector<std::string>{"Interviews: 3", "Review Copy: 1"}));
    for (const auto &event : library.events) {
        for (const auto &timeline : event.timelines) {
            EXPECT_EQ(timeline.id,
                      event.databaseURL.string() + "#" + std::to_string(timeline.collectionPK));
            EXPECT_EQ(timeline.duration, std::nullopt);
        }
    }
    EXPECT_EQ(snapshotFiles(folder.path()), before);
}

TEST(LibraryScanner, WalksFoldersWithinItsLimitsAndNeverTwiceIntoOneDatabase) {
    ScratchFolder folder;
    LibraryDescription description;
    description.name = "Deep";
    description.events = {
        eventWithTimeline("A"),
        // Level 8 below the bundle is listed by the walk at depth 7; level 9 is not.
        eventWithTimeline("1/2/3/4/5/6/7/Level 8"),
        eventWithTimeline("i/ii/iii/iv/v/vi/vii/viii/Level 9"),
        eventWithTimeline("Render Files"),
        eventWithTimeline("Render Files/Inside Render Files"),
        eventWithTimeline(".Hidden"),
    };
    const fs::path bundle = SampleLibraryWriter::write(description, folder.path());
    fs::create_directories(bundle / "Twin");
    fs::create_symlink("../A/CurrentVersion.fcpevent", bundle / "Twin" / "CurrentVersion.fcpevent");
    fs::create_directory_symlink("A", bundle / "Link to A");
    testing::writeFile(bundle / "Settings.plist", "not a folder");
    const auto before = snapshotFiles(folder.path());

    const FCPLibrary library = LibraryScanner::scan(bundle);
    std::vector<std::string> paths;
    for (const auto &event : library.events) {
        paths.push_back(event.path);
    }
    std::sort(paths.begin(), paths.end());
    // A and Twin share one database file: whichever is listed first gives the event.
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], "1 / 2 / 3 / 4 / 5 / 6 / 7 / Level 8");
    EXPECT_EQ(eventAt(library, paths[0])->name, "1");
    EXPECT_TRUE(paths[1] == "A" || paths[1] == "Twin") << paths[1];
    EXPECT_EQ(snapshotFiles(folder.path()), before);
}

TEST(LibraryScanner, FailsWhereThereIsNoFolderAndFindsNothingInAnEmptyOne) {
    ScratchFolder folder;
    testing::writeFile(folder / "file.fcpbundle", "text");
    fs::create_directories(folder / "Empty.fcpbundle" / "Folder");
    testing::writeFile(folder / "Empty.fcpbundle" / "Broken" / "CurrentVersion.fcpevent", "junk");
    const auto before = snapshotFiles(folder.path());

    // A library that cannot be listed at all fails, so that a vanished one never reads as
    // an empty library.
    EXPECT_THROW(LibraryScanner::scan(folder / "missing.fcpbundle"), fs::filesystem_error);
    EXPECT_THROW(LibraryScanner::scan(folder / "file.fcpbundle"), fs::filesystem_error);
    const FCPLibrary empty = LibraryScanner::scan(folder.path() / "Empty.fcpbundle/");
    EXPECT_EQ(empty.name, "Empty");
    // An event whose database does not open is still an event, without timelines.
    ASSERT_EQ(empty.events.size(), 1u);
    EXPECT_EQ(empty.events[0].path, "Broken");
    EXPECT_TRUE(empty.events[0].timelines.empty());
    EXPECT_THROW(LibraryScanner::findMediaFilesDatabases(folder / "missing.fcpbundle"),
                 fs::filesystem_error);
    EXPECT_EQ(snapshotFiles(folder.path()), before);
}

// Opening a named pipe waits for a writer for ever: such an event is skipped, and said so.
TEST(LibraryScanner, SkipsEventsWhoseDatabaseIsNoRegularFile) {
    ScratchFolder folder;
    LibraryDescription description;
    description.name = "Pipes";
    description.events = {eventWithTimeline("A"), eventWithTimeline("B"),
                          eventWithTimeline("B/Nested")};
    const fs::path bundle = SampleLibraryWriter::write(description, folder.path());
    fs::remove(bundle / "A" / "CurrentVersion.fcpevent");
    ASSERT_EQ(::mkfifo((bundle / "A" / "CurrentVersion.fcpevent").c_str(), 0600), 0);
    fs::remove(bundle / "B" / "CurrentVersion.fcpevent");
    fs::create_symlink("../A/CurrentVersion.fcpevent", bundle / "B" / "CurrentVersion.fcpevent");

    testing::LogCapture log("com.ostrevale.tandrel.host", "library");
    const FCPLibrary library = LibraryScanner::scan(bundle);
    ASSERT_EQ(library.events.size(), 1u);
    EXPECT_EQ(library.events[0].path, "B / Nested");
    EXPECT_EQ(timelineSummary(library.events[0]), std::vector<std::string>{"Edit: 1"});
    for (const char *event : {"A", "B"}) {
        const std::string expected =
            "Skipped event \"" + std::string(event) +
            "\": not a database: " + (bundle / event / "CurrentVersion.fcpevent").string() +
            " is a named pipe";
        EXPECT_NE(log.text().find(expected), std::string::npos) << log.text();
    }
    // Nor do the other readers of a library open them.
    EXPECT_TRUE(LibraryScanner::findMediaFilesDatabases(bundle).empty());
}

// "." and ".." stand for the folder they lead to, whose name is the library's.
TEST(LibraryScanner, NamesTheLibraryAfterTheFolderAPathLeadsTo) {
    ScratchFolder folder;
    LibraryDescription description;
    description.name = "Named";
    description.events = {eventWithTimeline("A")};
    const fs::path bundle = SampleLibraryWriter::write(description, folder.path());
    for (const fs::path &path : {bundle, bundle / "", bundle / "A" / "..", bundle / "."}) {
        const FCPLibrary library = LibraryScanner::scan(path);
        EXPECT_EQ(library.name, "Named") << path;
        EXPECT_EQ(library.url, path);
        EXPECT_EQ(library.events.size(), 1u) << path;
    }
}

// An event database written collection by collection, for sequences no sample holds.
class HandMadeEvent {
public:
    HandMadeEvent() : file_(folder_ / "CurrentVersion.fcpevent"), db_(file_) {
        projectData_ = db_.add({"FFMediaEventProjectData", "PD", std::nullopt, archive({})});
        set_ =
            db_.add({"NSSet", std::nullopt, std::string("projects"), std::nullopt}, projectData_);
    }

    static Bytes archive(PlistValue::Dictionary root) {
        return KeyedArchiver::archive(PlistValue::dictionary(std::move(root)));
    }

    // A sequence in the project set, with a storyline of `items` items when `storyline` is
    // given (its display name).
    int64_t sequence(std::optional<std::string> identifier, std::optional<Bytes> blob,
                     std::optional<std::string> storyline = std::nullopt, int items = 0,
                     const std::string &type = "FFAnchoredSequence") {
        const int64_t pk = db_.add({type, identifier, std::nullopt, std::move(blob)}, set_);
        if (storyline) {
            const int64_t primary =
                db_.add({"NSArray", std::nullopt, std::string("primaryObject"), std::nullopt}, pk);
            const int64_t spine =
                db_.add({"FFAnchoredCollection", std::nullopt, std::nullopt,
                         archive({{"displayName", PlistValue::string(*storyline)}})},
                        primary);
            const int64_t contained = db_.add(
                {"NSArray", std::nullopt, std::string("containedItems"), std::nullopt}, spine);
            for (int i = 0; i < items; ++i) {
                db_.add(
                    {"FFAnchoredGapGeneratorComponent", std::nullopt, std::nullopt, std::nullopt},
                    contained);
            }
        }
        return pk;
    }

    EventDatabaseWriter &db() { return db_; }
    int64_t projectData() const { return projectData_; }
    int64_t projectSet() const { return set_; }

    std::vector<FCPTimelineInfo> discover() {
        db_.close();
        FCPDatabaseConnection connection(file_.string());
        return LibraryScanner::discoverTimelines(connection);
    }

private:
    ScratchFolder folder_;
    fs::path file_;
    EventDatabaseWriter db_;
    int64_t projectData_ = 0;
    int64_t set_ = 0;
};

TEST(LibraryScanner, RecognisesProjectSequencesAndNamesThem) {
    HandMadeEvent event;
    using P = PlistValue;
    const auto strong = HandMadeEvent::archive({{"audioChannelCount", P::integer(2)}});
    const int64_t named = event.sequence("SEQ-1", strong, "Main Edit", 3);
    event.sequence("SEQ-2", strong, "", 2);      // empty name: the identifier
    event.sequence(std::nullopt, strong);        // nothing at all: "Untitled", 0
    event.sequence("SEQ-4", strong, "Empty", 0); // an empty storyline
    event.sequence("SEQ-5",
                   HandMadeEvent::archive(
                       {{"metadata", P::dictionary({{"FFShareCreatorKey", P::string("me")}})}}),
                   "Shared", 1);
    event.sequence("SEQ-6",
                   HandMadeEvent::archive({{"metadata", P::dictionary({{"other", P::integer(1)}})},
                                           {"mediaIdentifier", P::string("M")}}),
                   "Compound", 1);
    event.sequence("SEQ-7", Bytes{1, 2, 3}, "Undecodable", 1);
    event.sequence("SEQ-8", std::nullopt, "No blob", 1);
    event.sequence("SEQ-9", strong, "A clip", 1, "FFAnchoredClip");
    // Listed again in a second set, and a sequence under a child that is no set.
    const int64_t second =
        event.db().add({"NSSet", std::nullopt, std::nullopt, std::nullopt}, event.projectData());
    event.db().link(second, named);
    const int64_t notASet =
        event.db().add({"NSArray", std::nullopt, std::nullopt, std::nullopt}, event.projectData());
    event.db().add({"FFAnchoredSequence", "SEQ-10", std::nullopt, strong}, notASet);
    // Only the first project list counts.
    const int64_t otherList =
        event.db().add({"FFMediaEventProjectData", "PD2", std::nullopt, std::nullopt});
    const int64_t otherSet =
        event.db().add({"NSSet", std::nullopt, std::nullopt, std::nullopt}, otherList);
    event.db().add({"FFAnchoredSequence", "SEQ-11", std::nullopt, strong}, otherSet);

    std::vector<std::string> found;
    for (const auto &t : event.discover()) {
        found.push_back(t.name + ": " + std::to_string(t.editCount));
    }
    EXPECT_EQ(found, (std::vector<std::string>{"Main Edit: 3", "SEQ-2: 2", "Untitled: 0",
                                               "Empty: 0", "Shared: 1"}));
}

TEST(LibraryScanner, DiscoversNothingWithoutAProjectList) {
    ScratchFolder folder;
    {
        EventDatabaseWriter db(folder / "a.fcpevent");
        db.add({"FFAnchoredSequence", "S", std::nullopt, std::nullopt});
    }
    FCPDatabaseConnection withoutList((folder / "a.fcpevent").string());
    EXPECT_TRUE(LibraryScanner::discoverTimelines(withoutList).empty());
    {
        EventDatabaseWriter db(folder / "b.fcpevent");
        db.execute("DROP TABLE ZCOLLECTIONMD");
    }
    FCPDatabaseConnection withoutTables((folder / "b.fcpevent").string());
    EXPECT_THROW(LibraryScanner::discoverTimelines(withoutTables), FCPDatabaseError);
}

TEST(LibraryScanner, HidesOnlyEmptyPlaceholdersShadowedByANestedNamesake) {
    const auto event = [](std::string path,
                          std::vector<std::pair<std::string, int64_t>> timelines) {
        std::vector<FCPTimelineInfo> infos;
        for (const auto &[name, edits] : timelines) {
            infos.push_back({path + "#" + name, name, 1, edits, std::nullopt});
        }
        return FCPEvent("E", path, "/db", infos);
    };
    const struct {
        const char *name;
        std::vector<FCPEvent> events;
        std::vector<size_t> expectedCounts;
    } cases[] = {
        {"edited namesake nested",
         {event("A", {{"Edit", 0}}), event("A / Sub", {{"Edit", 12}})},
         {0, 1}},
        {"edited namesake elsewhere",
         {event("A", {{"Edit", 0}}), event("B", {{"Edit", 12}})},
         {1, 1}},
        {"edited namesake above",
         {event("A", {{"Edit", 12}}), event("A / Sub", {{"Edit", 0}})},
         {1, 1}},
        {"no edited namesake",
         {event("A", {{"Edit", 0}}), event("A / Sub", {{"Edit", 0}})},
         {1, 1}},
        {"names differ in case",
         {event("A", {{"edit", 0}}), event("A / Sub", {{"Edit", 3}})},
         {1, 1}},
        {"path only shares a prefix",
         {event("A", {{"Edit", 0}}), event("AB / Sub", {{"Edit", 3}})},
         {1, 1}},
    };
    for (const auto &c : cases) {
        const auto result = LibraryScanner::suppressShadowedStubs(c.events);
        ASSERT_EQ(result.size(), c.events.size()) << c.name;
        for (size_t i = 0; i < result.size(); ++i) {
            EXPECT_EQ(result[i].timelines.size(), c.expectedCounts[i]) << c.name << " event " << i;
            EXPECT_EQ(result[i].path, c.events[i].path);
        }
    }
}

// A commit into a write-ahead log is over once the log's index counts every frame of it:
// until then readers read the database without it, and no file-system event tells of the
// index's update. Frames of an earlier round of the log, or bytes that are no frames of it,
// beyond what the index counts are no commit under way.
TEST(DatabaseFileState, ALogIsInFlightWhileItHoldsFramesItsIndexDoesNotCountYet) {
    ScratchFolder folder;
    LibraryDescription description;
    description.name = "Logged";
    description.events = {eventWithTimeline("A", "Edit")};
    const fs::path bundle = SampleLibraryWriter::write(description, folder.path());
    const fs::path database = bundle / "A" / "CurrentVersion.fcpevent";
    const fs::path renamed = folder / "renamed.fcpevent";
    SampleLibraryWriter::writeEvent(eventWithTimeline("A", "Edit, renamed"), renamed, {});
    const auto toRenamed = EditorSaves::changedRows(database, renamed);
    const auto back = EditorSaves::changedRows(renamed, database);
    ASSERT_FALSE(toRenamed.empty());
    const auto servedName = [&] {
        FCPDatabaseConnection db(database.string());
        return LibraryScanner::discoverTimelines(db).at(0).name;
    };
    const std::string notCounted = "has frames in its log that its index does not count yet";
    const auto inFlight = [&] { return DatabaseFileState::of(database).logInFlight; };

    EXPECT_FALSE(DatabaseFileState::logIsIndexedWhole(database)) << "no log";
    EXPECT_EQ(inFlight(), std::nullopt);
    {
        EditorSaves::LoggingWriter writer(database);
        writer.commit(toRenamed);
        EXPECT_TRUE(DatabaseFileState::logIsIndexedWhole(database)) << "a commit over";
        EXPECT_EQ(inFlight(), std::nullopt);

        const std::function<void()> indexNow = writer.commitIndexedLate(back);
        EXPECT_EQ(servedName(), "Edit, renamed") << "readers go by the index";
        EXPECT_EQ(inFlight(), notCounted);
        EXPECT_EQ(DatabaseFileState::of(database).inTheMiddleOfASave(), notCounted);
        EXPECT_FALSE(DatabaseFileState::logIsIndexedWhole(database));
        const DatabaseFileState unindexed = DatabaseFileState::of(database);
        // The files copied in the middle of the commit look the same; cut within the first
        // frame not counted, they hold a frame being written: no commit that would show yet,
        // and none over.
        const fs::path copy = folder / "copy";
        fs::create_directories(copy);
        const fs::path copied = copy / "CurrentVersion.fcpevent";
        for (const char *suffix : {"", "-wal", "-shm"}) {
            fs::copy_file(database.string() + suffix, copied.string() + suffix);
        }
        EXPECT_EQ(DatabaseFileState::of(copied).logInFlight, notCounted) << "copied";
        fs::resize_file(copied.string() + "-wal", fs::file_size(copied.string() + "-wal") - 1000);
        EXPECT_EQ(DatabaseFileState::of(copied).logInFlight, std::nullopt) << "a frame begun";
        EXPECT_TRUE(DatabaseFileState::of(copied).logFrameBegun);
        EXPECT_FALSE(DatabaseFileState::logIsIndexedWhole(copied));
        fs::resize_file(copied.string() + "-wal", 32);
        EXPECT_TRUE(DatabaseFileState::of(copied).logFrameBegun) << "a round's header alone";
        EXPECT_FALSE(DatabaseFileState::logIsIndexedWhole(copied));
        indexNow();
        EXPECT_NE(DatabaseFileState::of(database), unindexed) << "the index's update shows";
        EXPECT_EQ(servedName(), "Edit");
        EXPECT_TRUE(DatabaseFileState::logIsIndexedWhole(database)) << "the commit over";

        // What lies past the last frame counted and is no frame of this log.
        const fs::path log = database.string() + "-wal";
        const auto whole = fs::file_size(log);
        {
            std::ofstream out(log, std::ios::binary | std::ios::app);
            out << std::string(24 + 4096, 'x');
        }
        EXPECT_EQ(inFlight(), std::nullopt) << "bytes that are no frame";
        fs::resize_file(log, whole);
    }
    // The last writer gone, the log is folded into the database and removed.
    EXPECT_FALSE(DatabaseFileState::logIsIndexedWhole(database)) << "no log left";
    EXPECT_EQ(inFlight(), std::nullopt);

    // A log folded into the database starts its next round from its beginning: the frames of
    // the round before stay behind the new ones.
    sqlite3 *writer = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &writer), SQLITE_OK);
    sqlite3_exec(writer,
                 "PRAGMA journal_mode=WAL; CREATE TABLE t(x); INSERT INTO t VALUES (1); "
                 "INSERT INTO t VALUES (2); INSERT INTO t VALUES (3);",
                 nullptr, nullptr, nullptr);
    const fs::path log = database.string() + "-wal";
    const auto rounds = fs::file_size(log);
    sqlite3_wal_checkpoint_v2(writer, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    sqlite3_exec(writer, "INSERT INTO t VALUES (4);", nullptr, nullptr, nullptr);
    EXPECT_EQ(fs::file_size(log), rounds) << "written over from its start";
    EXPECT_EQ(inFlight(), std::nullopt) << "the round before's frames";
    EXPECT_TRUE(DatabaseFileState::logIsIndexedWhole(database));
    sqlite3_close(writer);
}

// A database looked at from outside while an editor saves it, as each way of saving leaves it.
TEST(LibraryScanner, TellsADatabaseInTheMiddleOfASaveFromOneThatCanBeRead) {
    ScratchFolder folder;
    LibraryDescription description;
    description.name = "Saved";
    description.events = {eventWithTimeline("A")};
    const fs::path bundle = SampleLibraryWriter::write(description, folder.path());
    const fs::path database = bundle / "A" / "CurrentVersion.fcpevent";
    const std::string whole = snapshotFiles(bundle).at(database.string());
    const std::string journal = database.string() + "-journal";
    const std::string liveJournalHeader("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);

    struct Case {
        const char *what;
        std::function<void()> leave;
        std::optional<std::string> midSave;
    };
    const Case cases[] = {
        {"as written", [] {}, std::nullopt},
        {"emptied by a copy", [&] { testing::writeFile(database, ""); },
         "is being written: 0 of more bytes"},
        {"half copied", [&] { testing::writeFile(database, whole.substr(0, 4096)); },
         "is being written: 4096 of " + std::to_string(whole.size()) + " bytes"},
        // A smaller file written over it from its start: the new header comes first, the old
        // rest is cut off last.
        {"written over, its old rest not cut off yet",
         [&] { testing::writeFile(database, whole + std::string(8192, '\0')); },
         "is being rewritten: " + std::to_string(whole.size() + 8192) +
             " bytes where its header says " + std::to_string(whole.size())},
        {"committing through a journal",
         [&] { testing::writeFile(journal, liveJournalHeader + std::string(504, '\0')); },
         "is being committed to"},
        // Journal modes that keep the file after the commit clear or cut its header.
        {"a journal kept after its commit",
         [&] { testing::writeFile(journal, std::string(512, '\0')); }, std::nullopt},
        {"a journal cut to nothing", [&] { testing::writeFile(journal, ""); }, std::nullopt},
        // Not being saved: broken, or gone. Reading it says so; waiting would not help.
        {"no database at all", [&] { testing::writeFile(database, "junk"); }, std::nullopt},
        {"removed", [&] { fs::remove(database); }, std::nullopt},
    };
    for (const Case &c : cases) {
        testing::writeFile(database, whole);
        fs::remove(journal);
        c.leave();
        EXPECT_EQ(DatabaseFileState::of(database).inTheMiddleOfASave(), c.midSave) << c.what;
        const bool settled = !c.midSave;
        try {
            LibraryScanner::scanSettled(bundle);
            EXPECT_TRUE(settled) << c.what;
        } catch (const LibraryScanner::UnsettledLibrary &unsettled) {
            EXPECT_FALSE(settled) << c.what;
            EXPECT_NE(std::string(unsettled.what()).find("A: its database " + *c.midSave),
                      std::string::npos)
                << unsettled.what();
            // What was read comes with it.
            EXPECT_EQ(unsettled.library().events.size(), 1u) << c.what;
        }
    }

    // Written anew, a database looks different, also at the same size.
    testing::writeFile(database, whole);
    const DatabaseFileState before = DatabaseFileState::of(database);
    const fs::path beside = folder / "beside.fcpevent";
    fs::copy_file(database, beside);
    fs::rename(beside, database);
    EXPECT_NE(DatabaseFileState::of(database), before);
    EXPECT_EQ(DatabaseFileState::of(database), DatabaseFileState::of(database));
}

} // namespace
} // namespace tandrel
