#include "core/database/CollectionReadModel.h"
#include "core/database/CollectionReadModels.h"
#include "core/tests/ClipFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace tandrel {
namespace {

using P = PlistValue;
using testing::HandMadeEvent;
using testing::ScratchFolder;

// What a lookup gave: its answer, or the text of its failure.
template <typename T> using Outcome = std::variant<T, std::string>;

template <typename F> auto outcome(F &&lookup) -> Outcome<decltype(lookup())> {
    try {
        return lookup();
    } catch (const std::exception &error) {
        return std::string(error.what());
    }
}

using Info =
    std::tuple<std::optional<std::string>, std::optional<std::string>, std::optional<std::string>>;
Info fields(const FCPDatabaseConnection::CollectionInfo &info) {
    return {info.type, info.identifier, info.name};
}
// A decoded blob by its keys; nothing when there is none.
std::optional<std::vector<std::string>>
rootKeysOf(const std::shared_ptr<const BlobDecoder::DecodedBlob> &blob) {
    return blob ? std::optional(blob->rootKeys()) : std::nullopt;
}

// The values of one column of a table, read through the connection; none when the table
// cannot be read.
template <typename T> std::set<T> column(FCPDatabaseConnection &db, const std::string &sql) {
    std::set<T> values;
    try {
        for (const auto &row : db.query(sql)) {
            for (const auto &[name, value] : row) {
                if (const T *v = std::get_if<T>(&value)) {
                    values.insert(*v);
                }
            }
        }
    } catch (const std::exception &) {
    }
    return values;
}

// Every lookup the walks make, for every key, slot name and identifier the database holds
// (and a few it does not), answers through the model as through the statements.
void expectSameAnswers(FCPDatabaseConnection &db, CollectionReadModel &model) {
    std::set<int64_t> keys{0, -1, 999999};
    for (const char *sql :
         {"SELECT Z_PK FROM ZCOLLECTION",
          "SELECT Z_3PARENTCOLLECTIONS, Z_3CHILDCOLLECTIONS FROM Z_3CHILDCOLLECTIONS",
          "SELECT ZCOLLECTION FROM ZCOLLECTIONMD"}) {
        keys.merge(column<int64_t>(db, sql));
    }
    std::set<std::string> names = column<std::string>(db, "SELECT ZNAME FROM ZCOLLECTION");
    names.insert({"activeVariant", "no such slot"});
    std::set<std::string> identifiers =
        column<std::string>(db, "SELECT ZIDENTIFIER FROM ZCOLLECTION");
    identifiers.insert("no such identifier");

    for (int64_t pk : keys) {
        SCOPED_TRACE("key " + std::to_string(pk));
        EXPECT_EQ(outcome([&] { return fields(model.fetchCollectionInfo(pk)); }),
                  outcome([&] { return fields(db.fetchCollectionInfo(pk)); }));
        EXPECT_EQ(outcome([&] { return model.fetchChildPKs(pk); }),
                  outcome([&] { return db.fetchChildPKs(pk); }));
        EXPECT_EQ(outcome([&] { return model.fetchBlob(pk); }),
                  outcome([&] { return db.fetchBlob(pk); }));
        EXPECT_EQ(rootKeysOf(model.decodedBlob(pk)),
                  rootKeysOf(CollectionSource(db).decodedBlob(pk)));
        EXPECT_EQ(model.resolveActivePick(pk), db.resolveActivePick(pk));
        for (const std::string &name : names) {
            EXPECT_EQ(model.childPK(pk, name), db.childPK(pk, name)) << name;
        }
    }
    for (const std::string &identifier : identifiers) {
        EXPECT_EQ(model.pkForIdentifier(identifier), db.pkForIdentifier(identifier)) << identifier;
    }
}

std::string identifier(int n) {
    char text[37];
    std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012d", n);
    return text;
}

// A small timeline with the shapes the lookups must take as the statements take them: an
// audition, a marker, a clip listed twice in one slot and under two parents, collections
// that are their own child and each other's, two collections of one identifier, and rows no
// editor writes (a second blob row, empty, NULL and text blobs, rows of missing collections).
void writeQuirkyTimeline(HandMadeEvent &event) {
    auto &writer = event.writer();
    const auto item = [&](int n, std::optional<int64_t> parent, const std::string &name) {
        return writer.add({"FFAnchoredCollection", identifier(n), std::nullopt,
                           HandMadeEvent::archive({{"displayName", P::string(name)},
                                                   {"clippedRange", P::string("{0/1,2/1}")}})},
                          parent);
    };
    const int64_t sequence = event.add("FFAnchoredSequence", P::Dictionary{});
    const int64_t spine =
        event.add("FFAnchoredCollection", P::Dictionary{}, event.slot(sequence, "primaryObject"));
    const int64_t items = writer.add({"NSArray", std::nullopt, "containedItems",
                                      sample::KeyedArchiver::archive(P::array(
                                          {P::string(identifier(3)), P::string(identifier(1))}))},
                                     spine);
    const int64_t one = item(1, items, "One");
    item(2, items, "Two");
    const int64_t three = item(3, items, "Three");
    writer.link(items, one); // listed twice
    writer.link(three, one); // and under another parent
    const int64_t stack = event.add("FFAnchoredStack", P::Dictionary{}, items);
    const int64_t variants = event.slot(stack, "activeVariant");
    item(4, variants, "Pick");
    item(5, variants, "Other pick");
    event.add("FFAnchoredTimeMarker", P::Dictionary{{"displayName", P::string("M")}},
              event.slot(three, "anchoredItems"));
    writer.link(three, three);
    writer.link(one, three);
    item(1, std::nullopt, "Same identifier, later key");
    // Below no sequence: its blob is left to the statement.
    item(6, std::nullopt, "Unlinked");
    const int64_t empty = event.add("FFAnchoredCollection", std::nullopt, items);
    writer.execute("INSERT INTO ZCOLLECTIONMD VALUES (" + std::to_string(one) + ", x'00')");
    writer.execute("INSERT INTO ZCOLLECTIONMD VALUES (" + std::to_string(empty) + ", x'')");
    const int64_t nullBlob = event.add("FFAnchoredCollection", std::nullopt, items);
    writer.execute("INSERT INTO ZCOLLECTIONMD VALUES (" + std::to_string(nullBlob) + ", NULL)");
    const int64_t textBlob = event.add("FFAnchoredCollection", std::nullopt, items);
    writer.execute("INSERT INTO ZCOLLECTIONMD VALUES (" + std::to_string(textBlob) + ", 'text')");
    writer.execute("INSERT INTO ZCOLLECTIONMD VALUES (4242, x'62706c6973743030')");
    writer.execute("INSERT INTO ZCOLLECTIONMD VALUES (NULL, x'00')");
    writer.execute("INSERT INTO Z_3CHILDCOLLECTIONS VALUES (" + std::to_string(items) + ", 4343)");
    writer.execute("INSERT INTO Z_3CHILDCOLLECTIONS VALUES (" + std::to_string(items) + ", NULL)");
    writer.execute("INSERT INTO ZCOLLECTION (ZTYPE, ZIDENTIFIER, ZNAME) VALUES (NULL, NULL, NULL)");
}

struct Case {
    const char *name;
    // Statements run on the quirky timeline's database before it is read.
    std::vector<std::string> changes;
    bool collectionsHeld = true;
    bool childrenHeld = true;
    bool blobsHeld = true;
};

TEST(CollectionReadModel, AnswersEveryLookupAsItsStatementWould) {
    const std::vector<Case> cases{
        {"as written", {}},
        {"join rows keyed by parent and child", testing::joinTableKeyedByParentAndChild()},
        {"join table without an index", {"DROP INDEX Z_3CHILDCOLLECTIONS_PARENT"}},
        {"no index at all",
         {"DROP INDEX Z_3CHILDCOLLECTIONS_PARENT", "DROP INDEX ZCOLLECTION_ZIDENTIFIER",
          "DROP INDEX ZCOLLECTIONMD_ZCOLLECTION"}},
        // What the model cannot mirror is left to the statements.
        {"a collection key that is text",
         {"CREATE TABLE C (Z_PK, ZTYPE, ZIDENTIFIER, ZNAME)",
          "INSERT INTO C SELECT * FROM ZCOLLECTION", "INSERT INTO C VALUES ('7', 'X', 'Y', 'Z')",
          "DROP TABLE ZCOLLECTION", "ALTER TABLE C RENAME TO ZCOLLECTION"},
         false},
        {"a collection key twice",
         {"CREATE TABLE C (Z_PK INTEGER, ZTYPE, ZIDENTIFIER, ZNAME)",
          "INSERT INTO C SELECT * FROM ZCOLLECTION",
          "INSERT INTO C SELECT Z_PK, 'Twin', ZIDENTIFIER, ZNAME FROM ZCOLLECTION WHERE Z_PK = 3",
          "DROP TABLE ZCOLLECTION", "ALTER TABLE C RENAME TO ZCOLLECTION"},
         false},
        {"a join row of a real key",
         {"INSERT INTO Z_3CHILDCOLLECTIONS VALUES (1, 2.5)"},
         true,
         false},
        {"a join table without row ids",
         {"CREATE TABLE J (Z_3PARENTCOLLECTIONS INTEGER, Z_3CHILDCOLLECTIONS INTEGER, "
          "PRIMARY KEY (Z_3PARENTCOLLECTIONS, Z_3CHILDCOLLECTIONS)) WITHOUT ROWID",
          "INSERT OR IGNORE INTO J SELECT * FROM Z_3CHILDCOLLECTIONS WHERE "
          "Z_3CHILDCOLLECTIONS IS NOT NULL",
          "DROP TABLE Z_3CHILDCOLLECTIONS", "ALTER TABLE J RENAME TO Z_3CHILDCOLLECTIONS"},
         true,
         false},
        {"a blob row of a text key",
         {"INSERT INTO ZCOLLECTIONMD VALUES ('x3', x'00')"},
         true,
         true,
         false},
        {"no blob table", {"DROP TABLE ZCOLLECTIONMD"}, true, true, false},
        {"no tables",
         {"DROP TABLE ZCOLLECTIONMD", "DROP TABLE ZCOLLECTION", "DROP TABLE Z_3CHILDCOLLECTIONS"},
         false,
         false,
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        HandMadeEvent event;
        writeQuirkyTimeline(event);
        for (const std::string &change : c.changes) {
            event.writer().execute(change);
        }
        FCPDatabaseConnection &db = event.open();
        CollectionReadModel model(db);
        EXPECT_EQ(model.holdsCollections(), c.collectionsHeld);
        EXPECT_EQ(model.holdsChildren(), c.childrenHeld);
        EXPECT_EQ(model.holdsBlobs(), c.blobsHeld);
        expectSameAnswers(db, model);
    }
}

TEST(CollectionReadModel, AnswersForEveryEventOfTheSampleLibrary) {
    ScratchFolder folder;
    const auto bundle =
        sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), folder.path());
    const auto library = LibraryScanner::scan(bundle);
    ASSERT_EQ(library.events.size(), 3u);
    for (const FCPEvent &event : library.events) {
        SCOPED_TRACE(event.path);
        FCPDatabaseConnection db(event.databaseURL.string());
        CollectionReadModel model(db);
        EXPECT_TRUE(model.holdsCollections() && model.holdsChildren() && model.holdsBlobs());
        EXPECT_GT(model.memoryBytes(), 0u);
        expectSameAnswers(db, model);
    }
}

// A blob table that cannot be read to its end (a damaged page part way) is left to the
// statements, which then fail or answer item by item as they always do.
TEST(CollectionReadModel, ATableThatFailsPartWayIsReadOneStatementAtATime) {
    ScratchFolder folder;
    const auto bundle =
        sample::SampleLibraryWriter::write(sample::largeSampleLibrary(200), folder.path());
    const auto file = bundle / "Day 1" / LibraryScanner::eventDatabaseName;
    int64_t page = 0;
    int64_t pageSize = 0;
    {
        sqlite3 *raw = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
        const auto scalar = [&](const char *sql) {
            sqlite3_stmt *statement = nullptr;
            sqlite3_prepare_v2(raw, sql, -1, &statement, nullptr);
            const int64_t value =
                sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
            sqlite3_finalize(statement);
            return value;
        };
        page = scalar("SELECT pageno FROM dbstat WHERE name = 'ZCOLLECTIONMD' AND "
                      "pagetype = 'leaf' ORDER BY pageno LIMIT 1 OFFSET 3");
        pageSize = scalar("PRAGMA page_size");
        sqlite3_close(raw);
    }
    ASSERT_GT(page, 1);
    {
        std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp((page - 1) * pageSize);
        const std::string zeros(static_cast<size_t>(pageSize), '\0');
        out.write(zeros.data(), pageSize);
    }
    FCPDatabaseConnection db(file.string());
    CollectionReadModel model(db);
    EXPECT_TRUE(model.holdsCollections());
    EXPECT_FALSE(model.holdsBlobs());
    expectSameAnswers(db, model);
}

TEST(CollectionReadModel, KeepsTheBlobsItDecodedLastWhileAsked) {
    HandMadeEvent event;
    const int64_t sequence = event.add("FFAnchoredSequence", P::Dictionary{});
    const int64_t slot = event.slot(sequence, "primaryObject");
    std::vector<int64_t> clips;
    for (size_t i = 0; i <= CollectionReadModel::keptDecodedBlobs; ++i) {
        clips.push_back(
            event.add("FFAnchoredCollection", P::Dictionary{{"n", P::integer(int64_t(i))}}, slot));
    }
    CollectionReadModel model(event.open());
    const auto first = model.decodedBlob(clips[0]);
    ASSERT_TRUE(first);
    EXPECT_NE(model.decodedBlob(clips[0]), first); // not kept: decoded again

    model.keepDecodedBlobs(true);
    const auto kept = model.decodedBlob(clips[0]);
    EXPECT_EQ(model.decodedBlob(clips[0]), kept);
    // Read again after each other blob, it stays the most recent; the least recent goes.
    const auto second = model.decodedBlob(clips[1]);
    for (size_t i = 2; i < clips.size(); ++i) {
        model.decodedBlob(clips[0]);
        model.decodedBlob(clips[i]);
    }
    EXPECT_EQ(model.decodedBlob(clips[0]), kept);
    EXPECT_NE(model.decodedBlob(clips[1]), second);

    model.keepDecodedBlobs(false);
    EXPECT_NE(model.decodedBlob(clips[0]), kept);
}

TEST(CollectionReadModels, LoadsOneModelPerDatabaseAndKeepsDecodedBlobsWhileASessionIsOpen) {
    HandMadeEvent event;
    const int64_t sequence = event.add("FFAnchoredSequence", P::Dictionary{});
    const int64_t clip =
        event.add("FFAnchoredCollection", P::Dictionary{}, event.slot(sequence, "primaryObject"));
    FCPDatabaseConnection &db = event.open();
    FCPDatabaseConnection sameFile(db.path());
    CollectionReadModels models;
    CollectionReadModel &model = models.of(db);
    EXPECT_EQ(&models.of(sameFile), &model);
    {
        CollectionReadModels::Session outer(models);
        { CollectionReadModels::Session inner(models); }
        EXPECT_EQ(model.decodedBlob(clip), model.decodedBlob(clip));
    }
    EXPECT_NE(model.decodedBlob(clip), model.decodedBlob(clip));
    EXPECT_EQ(models.memoryBytes(), model.memoryBytes());
}

} // namespace
} // namespace tandrel
