#include "core/database/FCPDatabaseConnection.h"
#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/EventDatabaseWriter.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tandrel {
namespace {

using sample::EventDatabaseWriter;
using testing::ScratchFolder;
using testing::snapshotFiles;

TEST(FCPDatabaseConnection, EscapesOnlyPercentQuestionAndNumberSigns) {
    const struct {
        const char *path;
        const char *uri;
    } cases[] = {
        {"/a/100%?#x", "file:/a/100%25%3F%23x?immutable=1"},
        {"/a/%3F", "file:/a/%253F?immutable=1"},
        {"/Movies/My Library.fcpbundle/E & F/CurrentVersion.fcpevent",
         "file:/Movies/My Library.fcpbundle/E & F/CurrentVersion.fcpevent?immutable=1"},
        // Two leading slashes would otherwise name a host.
        {"//a/b", "file:////a/b?immutable=1"},
        {"relative/b", "file:relative/b?immutable=1"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FCPDatabaseConnection::uri(c.path, "immutable=1"), c.uri);
    }
}

// An event database with a few collections of every shape the lookups meet.
struct SmallDatabase {
    ScratchFolder folder;
    std::filesystem::path file;
    int64_t withBlob = 0, withoutRow = 0, nullBlob = 0, emptyBlob = 0, stack = 0, pick = 0,
            emptyStack = 0, bareStack = 0;

    explicit SmallDatabase(const std::string &folderName = "db") {
        std::filesystem::create_directories(folder / folderName);
        file = folder / folderName / "CurrentVersion.fcpevent";
        EventDatabaseWriter db(file);
        withBlob = db.add({"FFAsset", "ID-1", std::nullopt, Bytes{1, 2, 3}});
        withoutRow = db.add({"FFAsset", std::nullopt, std::nullopt, std::nullopt});
        nullBlob = db.add({"FFAsset", "ID-3", std::nullopt, std::nullopt});
        db.execute("INSERT INTO ZCOLLECTIONMD VALUES (" + std::to_string(nullBlob) + ", NULL)");
        emptyBlob = db.add({"FFAsset", "ID-4", std::nullopt, Bytes{}});
        stack = db.add({"FFAnchoredStack", "ID-5", std::nullopt, std::nullopt});
        const int64_t variant =
            db.add({"NSArray", std::nullopt, std::string("activeVariant"), std::nullopt}, stack);
        pick = db.add({"FFAnchoredCollection", "ID-6", std::nullopt, std::nullopt}, variant);
        db.add({"FFAnchoredCollection", "ID-7", std::nullopt, std::nullopt}, variant);
        emptyStack = db.add({"FFAnchoredStack", "ID-8", std::nullopt, std::nullopt});
        db.add({"NSArray", std::nullopt, std::string("activeVariant"), std::nullopt}, emptyStack);
        bareStack = db.add({"FFAnchoredStack", "ID-9", std::nullopt, std::nullopt});
        // A join row whose child is not an integer.
        db.execute("INSERT INTO Z_3CHILDCOLLECTIONS VALUES (" + std::to_string(stack) + ", 'x')");
    }
};

TEST(FCPDatabaseConnection, FixedLookupsReadWhatIsThereAndNothingElse) {
    SmallDatabase fixture;
    FCPDatabaseConnection db(fixture.file.string());
    EXPECT_EQ(db.path(), fixture.file.string());

    const auto assets = db.fetchCollections("FFAsset");
    ASSERT_EQ(assets.size(), 4u);
    EXPECT_EQ(assets[0].pk, fixture.withBlob);
    EXPECT_EQ(assets[0].identifier, "ID-1");
    EXPECT_EQ(assets[0].blob, (Bytes{1, 2, 3}));
    // Without a metadata row the collection is still listed (outer join).
    EXPECT_EQ(assets[1].identifier, std::nullopt);
    EXPECT_EQ(assets[1].blob, std::nullopt);
    EXPECT_TRUE(db.fetchCollections("FFNothing").empty());

    EXPECT_EQ(db.fetchBlob(fixture.withBlob), (Bytes{1, 2, 3}));
    for (int64_t absent : {fixture.withoutRow, fixture.nullBlob, fixture.emptyBlob, int64_t{999}}) {
        EXPECT_EQ(db.fetchBlob(absent), std::nullopt) << absent;
    }

    const auto info = db.fetchCollectionInfo(fixture.pick);
    EXPECT_EQ(info.type, "FFAnchoredCollection");
    EXPECT_EQ(info.identifier, "ID-6");
    EXPECT_EQ(info.name, std::nullopt);
    const auto none = db.fetchCollectionInfo(12345);
    EXPECT_FALSE(none.type || none.identifier || none.name);

    EXPECT_EQ(db.fetchChildPKs(fixture.stack).size(), 1u); // the text child is skipped
    EXPECT_EQ(db.pkForIdentifier("ID-6"), fixture.pick);
    EXPECT_EQ(db.pkForIdentifier("ID-404"), std::nullopt);
    EXPECT_EQ(db.resolveActivePick(fixture.stack), fixture.pick);
    EXPECT_EQ(db.resolveActivePick(fixture.emptyStack), std::nullopt);
    EXPECT_EQ(db.resolveActivePick(fixture.bareStack), std::nullopt);
}

TEST(FCPDatabaseConnection, QueryKeepsRowsBeforeAFailingStepAndTheLaterOfTwoColumns) {
    SmallDatabase fixture;
    FCPDatabaseConnection db(fixture.file.string());
    // abs() of the smallest integer fails at the third row, after two good ones.
    const auto rows = db.query("SELECT v FROM (SELECT 1 AS v UNION ALL SELECT 2 UNION ALL "
                               "SELECT -9223372036854775808) ORDER BY v DESC",
                               {});
    EXPECT_EQ(rows.size(), 3u);
    const auto failing = db.query("SELECT abs(v) AS v FROM (SELECT 1 AS v UNION ALL SELECT 2 "
                                  "UNION ALL SELECT -9223372036854775808)");
    ASSERT_EQ(failing.size(), 2u);
    EXPECT_EQ(std::get<int64_t>(failing[1].at("v")), 2);

    const auto same = db.query("SELECT 1 AS x, 'later' AS x, NULL AS y, ? AS p, ? AS q, ? AS r",
                               {2.5, std::string("text"), std::monostate{}});
    ASSERT_EQ(same.size(), 1u);
    EXPECT_EQ(std::get<std::string>(same[0].at("x")), "later");
    EXPECT_FALSE(same[0].count("y"));
    EXPECT_EQ(std::get<double>(same[0].at("p")), 2.5);
    EXPECT_EQ(std::get<std::string>(same[0].at("q")), "text");
    EXPECT_FALSE(same[0].count("r"));

    try {
        db.query("SELECT * FROM NOWHERE");
        FAIL() << "no error";
    } catch (const FCPDatabaseError &error) {
        EXPECT_EQ(error.errorCase(), FCPDatabaseError::Case::queryFailed);
        EXPECT_STREQ(error.what(), "Query failed: no such table: NOWHERE");
    }
}

TEST(FCPDatabaseConnection, OpensPathsThatNeedEscaping) {
    SmallDatabase fixture("100%?#x %3F");
    FCPDatabaseConnection db(fixture.file.string());
    EXPECT_EQ(db.fetchCollections("FFAsset").size(), 4u);
    // The same file named with two leading slashes, as a path joined onto "/" may come out.
    ASSERT_TRUE(fixture.file.is_absolute());
    FCPDatabaseConnection doubled("/" + fixture.file.string());
    EXPECT_EQ(doubled.fetchCollections("FFAsset").size(), 4u);
}

TEST(FCPDatabaseConnection, FailsOnFilesThatAreNoEventDatabase) {
    ScratchFolder folder;
    testing::writeFile(folder / "text.fcpevent", "This is not a database, just some text.");
    testing::writeFile(folder / "empty.fcpevent", "");
    {
        sqlite3 *other = nullptr;
        sqlite3_open((folder / "other.fcpevent").c_str(), &other);
        sqlite3_exec(other, "CREATE TABLE t (x)", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }
    const auto before = snapshotFiles(folder.path());

    for (const char *name : {"missing.fcpevent", "text.fcpevent"}) {
        try {
            FCPDatabaseConnection db((folder / name).string());
            ADD_FAILURE() << name << " opened";
        } catch (const FCPDatabaseError &error) {
            EXPECT_EQ(error.errorCase(), FCPDatabaseError::Case::connectionFailed) << name;
            EXPECT_TRUE(std::string(error.what()).starts_with("Failed to open FCP database: "));
        }
    }
    for (const char *name : {"empty.fcpevent", "other.fcpevent"}) {
        FCPDatabaseConnection db((folder / name).string());
        EXPECT_THROW(db.fetchCollections("FFAsset"), FCPDatabaseError) << name;
        EXPECT_THROW(db.fetchBlob(1), FCPDatabaseError) << name;
        EXPECT_THROW(db.fetchChildPKs(1), FCPDatabaseError) << name;
        EXPECT_THROW(db.fetchCollectionInfo(1), FCPDatabaseError) << name;
        EXPECT_EQ(db.childPK(1, "primaryObject"), std::nullopt) << name;
        EXPECT_EQ(db.pkForIdentifier("x"), std::nullopt) << name;
        EXPECT_EQ(db.resolveActivePick(1), std::nullopt) << name;
    }
    EXPECT_EQ(snapshotFiles(folder.path()), before);
}

// SQLite opens its files with a blocking open(), and opening a named pipe for reading waits
// for a writer for ever. Nothing but a regular file is opened: not the database, and not the
// companions that reading a write-ahead log would open.
TEST(FCPDatabaseConnection, OpensNothingButRegularFiles) {
    namespace fs = std::filesystem;
    ScratchFolder folder;
    const fs::path pipe = folder / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink(pipe, folder / "link to a pipe.fcpevent");
    fs::create_symlink("/dev/zero", folder / "device.fcpevent");
    fs::create_directory(folder / "folder.fcpevent");
    struct Case {
        std::string name;
        std::string what;
    };
    const Case cases[] = {
        {"pipe", "a named pipe"},
        {"link to a pipe.fcpevent", "a named pipe"},
        {"device.fcpevent", "a device"},
        {"folder.fcpevent", "a folder"},
    };
    for (const Case &c : cases) {
        const std::string path = (folder / c.name).string();
        try {
            FCPDatabaseConnection db(path);
            ADD_FAILURE() << c.name << " opened";
        } catch (const FCPDatabaseError &error) {
            EXPECT_EQ(error.errorCase(), FCPDatabaseError::Case::connectionFailed);
            EXPECT_EQ(error.what(),
                      "Failed to open FCP database: not a database: " + path + " is " + c.what);
        }
    }

    // A database with a log whose index or journal is a named pipe is read without its log.
    for (const char *companion : {"-shm", "-journal"}) {
        const fs::path file = folder / (std::string("log") + companion) / "CurrentVersion.fcpevent";
        fs::create_directories(file.parent_path());
        {
            EventDatabaseWriter writer(file);
            writer.add({"FFAsset", "A", std::nullopt, std::nullopt});
        }
        testing::writeFile(file.string() + "-wal", "a log that is no log");
        ASSERT_EQ(::mkfifo((file.string() + companion).c_str(), 0600), 0);
        FCPDatabaseConnection db(file.string());
        EXPECT_EQ(db.fetchCollections("FFAsset").size(), 1u) << companion;
    }
}

// The editor keeps an open library in write-ahead-log mode: a change it committed may live
// only in the "-wal" file until the next checkpoint. A child process plays the editor: it
// switches the database to that mode, commits one more asset without checkpointing, and
// keeps its connection open while the test reads.
TEST(FCPDatabaseConnection, SeesChangesCommittedToTheWriteAheadLog) {
    ScratchFolder library;
    const auto bundle =
        sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), library.path());
    const std::string path = (bundle / "Day 1" / "CurrentVersion.fcpevent").string();
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t editor = ::fork();
    ASSERT_GE(editor, 0);
    if (editor == 0) {
        sqlite3 *db = nullptr;
        sqlite3_open(path.c_str(), &db);
        sqlite3_exec(db,
                     "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                     "INSERT INTO ZCOLLECTION (ZTYPE, ZIDENTIFIER) VALUES ('FFAsset', 'NEW');",
                     nullptr, nullptr, nullptr);
        char signal = 1;
        (void)!::write(ready[1], &signal, 1);
        (void)!::read(done[0], &signal, 1);
        ::_exit(0); // leave the log as a running editor would
    }
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    ASSERT_TRUE(std::filesystem::exists(path + "-wal"));
    const auto before = snapshotFiles(library.path());

    // The immutable open by itself ignores the log and misses the committed asset.
    sqlite3 *immutable = nullptr;
    ASSERT_EQ(sqlite3_open_v2(FCPDatabaseConnection::uri(path, "immutable=1").c_str(), &immutable,
                              SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr),
              SQLITE_OK);
    sqlite3_stmt *count = nullptr;
    sqlite3_prepare_v2(immutable, "SELECT count(*) FROM ZCOLLECTION WHERE ZTYPE = 'FFAsset'", -1,
                       &count, nullptr);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(count, 0), 9);
    sqlite3_finalize(count);
    sqlite3_close(immutable);

    {
        FCPDatabaseConnection db(path);
        const auto assets = db.fetchCollections("FFAsset");
        ASSERT_EQ(assets.size(), 10u);
        EXPECT_EQ(assets.back().identifier, "NEW");
    }
    // Neither the database nor its log or index changed.
    EXPECT_EQ(snapshotFiles(library.path()), before);

    // Without the shared-memory index the log cannot be read without writing one: the
    // connection falls back to the database file alone and still creates nothing.
    ScratchFolder copy;
    std::filesystem::copy_file(path, copy / "CurrentVersion.fcpevent");
    std::filesystem::copy_file(path + "-wal", copy / "CurrentVersion.fcpevent-wal");
    const auto copied = snapshotFiles(copy.path());
    {
        FCPDatabaseConnection db((copy / "CurrentVersion.fcpevent").string());
        EXPECT_EQ(db.fetchCollections("FFAsset").size(), 9u);
    }
    EXPECT_EQ(snapshotFiles(copy.path()), copied);

    (void)!::write(done[1], &signal, 1);
    int status = 0;
    ::waitpid(editor, &status, 0);
    for (int fd : {ready[0], ready[1], done[0], done[1]}) {
        ::close(fd);
    }
}

} // namespace
} // namespace tandrel
