// Builds a small event database from arbitrary bytes (collections of the types, slots,
// identifiers and blobs the walks read, join rows between any keys, cycles included, rows no
// editor writes, join tables keyed or indexed otherwise) and checks that its read model
// answers every lookup as the connection's statements do, and that a timeline resolves to the
// same entries through either. A difference traps.

#include "core/database/CollectionReadModel.h"
#include "core/resolver/TimelineMarkerScanner.h"
#include "core/resolver/TimelineResolver.h"
#include "core/snapshot/SnapshotWriter.h"
#include "core/support/Json.h"
#include "tools/make-sample-library/EventDatabaseWriter.h"
#include "tools/make-sample-library/KeyedArchiver.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>
#include <variant>
#include <vector>

using namespace tandrel;
namespace fs = std::filesystem;
using P = PlistValue;

namespace {

// The bytes of the input, one at a time; zeros once they run out.
class Input {
public:
    Input(const uint8_t *data, size_t size) : data_(data), size_(size) {}
    bool more() const { return at_ < size_; }
    uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    template <typename T> const T &pick(const std::vector<T> &from) {
        return from[next() % from.size()];
    }

private:
    const uint8_t *data_;
    size_t size_;
    size_t at_ = 0;
};

const std::vector<std::optional<std::string>> &types() {
    static const std::vector<std::optional<std::string>> values{"FFAnchoredSequence",
                                                                "FFAnchoredCollection",
                                                                "FFAnchoredCollection",
                                                                "FFAnchoredStack",
                                                                "FFAnchoredClip",
                                                                "FFAnchoredTimeMarker",
                                                                "FFAssetRef",
                                                                "FFClipRef",
                                                                "FFAnchoredGapGeneratorComponent",
                                                                "FFAnchoredAngle",
                                                                "FFAnchoredMediaComponent",
                                                                "FFAnchoredGeneratorComponent",
                                                                "NSArray",
                                                                "NSArray",
                                                                std::nullopt};
    return values;
}

const std::vector<std::optional<std::string>> &names() {
    static const std::vector<std::optional<std::string>> values{
        "primaryObject", "containedItems", "anchoredItems", "activeVariant",
        "media",         "containedItems", "anchoredItems", std::nullopt};
    return values;
}

std::string identifier(int n) {
    return "00000000-0000-4000-8000-00000000000" + std::to_string(n % 8);
}

const std::vector<std::optional<std::string>> &identifiers() {
    static const std::vector<std::optional<std::string>> values = [] {
        std::vector<std::optional<std::string>> made;
        for (int n = 0; n < 8; ++n) {
            made.emplace_back(identifier(n));
        }
        made.emplace_back(std::nullopt);
        made.emplace_back(std::nullopt);
        return made;
    }();
    return values;
}

const std::vector<std::string> &ranges() {
    static const std::vector<std::string> values{"{0/1,10/1}", "{5/1,2/1}", "{0/1,0/1}",
                                                 "{1/2,3/1}",  "bad",       "{-4/1,8/1}"};
    return values;
}

// One blob of the kinds the walks read; nothing for no metadata row.
std::optional<Bytes> blob(Input &in) {
    switch (in.next() % 8) {
    case 0:
        return std::nullopt;
    case 1:
        return Bytes{0x62, 0x70}; // not a property list
    case 2: {
        P::Array listed;
        for (int i = in.next() % 4; i > 0; --i) {
            listed.push_back(P::string(identifier(in.next())));
        }
        return sample::KeyedArchiver::archive(P::array(std::move(listed)));
    }
    case 3:
        return sample::KeyedArchiver::archive(
            P::dictionary({{"mediaIdentifier", P::string(identifier(in.next()))},
                           {"displayName", P::string("Media")}}));
    default: {
        P::Dictionary root{{"displayName", P::string("Clip " + std::to_string(in.next() % 4))},
                           {"clippedRange", P::string(in.pick(ranges()))},
                           {"anchorPair", P::string(in.pick(ranges()))}};
        if (in.next() % 2) {
            root.insert({"anchoredLane", P::integer(in.next() % 3)});
        }
        if (in.next() % 4 == 0) {
            root.insert({"playEnable", P::integer(0)});
        }
        if (in.next() % 4 == 0) {
            root.insert({"mediaIdentifier", P::string(identifier(in.next()))});
        }
        if (in.next() % 4 == 0) {
            root.insert({"unclippedStart", P::string("3/1")});
        }
        return sample::KeyedArchiver::archive(P::dictionary(std::move(root)));
    }
    }
}

// Rows and tables no editor writes, which the model leaves to the statements or must read
// as they do.
const std::vector<std::vector<std::string>> &oddities() {
    static const std::vector<std::vector<std::string>> values{
        {"INSERT INTO ZCOLLECTIONMD VALUES (NULL, x'00')"},
        {"INSERT INTO ZCOLLECTIONMD VALUES (2, x'')"},
        {"INSERT INTO ZCOLLECTIONMD VALUES (3, 'text')"},
        {"INSERT INTO Z_3CHILDCOLLECTIONS VALUES (1, NULL)"},
        {"INSERT INTO Z_3CHILDCOLLECTIONS VALUES (1, 2.5)"},
        {"INSERT INTO ZCOLLECTIONMD VALUES ('x3', x'00')"},
        {"INSERT INTO ZCOLLECTION (ZTYPE, ZIDENTIFIER, ZNAME) VALUES (NULL, NULL, NULL)"},
        {"DROP INDEX Z_3CHILDCOLLECTIONS_PARENT"},
        {"CREATE TABLE J (Z_3PARENTCOLLECTIONS INTEGER, Z_3CHILDCOLLECTIONS INTEGER, "
         "PRIMARY KEY (Z_3PARENTCOLLECTIONS, Z_3CHILDCOLLECTIONS))",
         "INSERT OR IGNORE INTO J SELECT * FROM Z_3CHILDCOLLECTIONS ORDER BY rowid DESC",
         "DROP TABLE Z_3CHILDCOLLECTIONS", "ALTER TABLE J RENAME TO Z_3CHILDCOLLECTIONS"},
    };
    return values;
}

// This process's own folder, in memory where the system offers a place (a database written to
// disk for every input would make the fuzzer wait for the disk), removed at exit.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code error;
        const fs::path base =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        path_ = base / ("tandrel-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path &path() const { return path_; }

private:
    fs::path path_;
};

// A fresh file name for the next database.
fs::path freshDatabase() {
    static const ScratchFolder folder;
    const fs::path file = folder.path() / "CurrentVersion.fcpevent";
    std::error_code ignored;
    fs::remove(file, ignored);
    return file;
}

int64_t write(Input &in, const fs::path &file) {
    sample::EventDatabaseWriter writer(file);
    int64_t keys = 0;
    while (in.more() && keys < 64) {
        const uint8_t op = in.next() % 8;
        const auto anyKey = [&] { return static_cast<int64_t>(in.next() % (keys + 2)); };
        if (op < 5 || keys == 0) {
            std::optional<int64_t> parent;
            if (keys > 0 && in.next() % 4 != 0) {
                parent = 1 + in.next() % keys;
            }
            const auto type = in.pick(types());
            const auto name = in.pick(names());
            const auto id = in.pick(identifiers());
            writer.add({type.value_or(""), id, name, blob(in)}, parent);
            if (!type) {
                writer.execute("UPDATE ZCOLLECTION SET ZTYPE = NULL WHERE Z_PK = " +
                               std::to_string(keys + 1));
            }
            ++keys;
        } else if (op < 7) {
            writer.link(anyKey(), anyKey());
        } else {
            try {
                for (const std::string &sql : in.pick(oddities())) {
                    writer.execute(sql);
                }
            } catch (const std::exception &) {
                // Already done (an index dropped twice): the database stays as it is.
            }
        }
    }
    writer.close();
    return keys;
}

template <typename F> auto outcome(F &&lookup) -> std::variant<decltype(lookup()), std::string> {
    try {
        return lookup();
    } catch (const std::exception &error) {
        return std::string(error.what());
    }
}

void expect(bool same) {
    if (!same) {
        __builtin_trap();
    }
}

void compareLookups(FCPDatabaseConnection &db, CollectionReadModel &model, int64_t keys) {
    using Info = std::tuple<std::optional<std::string>, std::optional<std::string>,
                            std::optional<std::string>>;
    const auto fields = [](const FCPDatabaseConnection::CollectionInfo &info) {
        return Info{info.type, info.identifier, info.name};
    };
    for (int64_t pk = -1; pk <= keys + 2; ++pk) {
        expect(outcome([&] { return fields(model.fetchCollectionInfo(pk)); }) ==
               outcome([&] { return fields(db.fetchCollectionInfo(pk)); }));
        expect(outcome([&] { return model.fetchChildPKs(pk); }) ==
               outcome([&] { return db.fetchChildPKs(pk); }));
        expect(outcome([&] { return model.fetchBlob(pk); }) ==
               outcome([&] { return db.fetchBlob(pk); }));
        expect(model.resolveActivePick(pk) == db.resolveActivePick(pk));
        for (const auto &name : names()) {
            if (name) {
                expect(model.childPK(pk, *name) == db.childPK(pk, *name));
            }
        }
    }
    for (const auto &id : identifiers()) {
        if (id) {
            expect(model.pkForIdentifier(*id) == db.pkForIdentifier(*id));
        }
    }
}

Json resolution(TimelineResolver &resolver, int64_t key) {
    Json entries = Json::array();
    for (const EditEntry &entry : resolver.getEDL(key)->entries()) {
        entries.push_back({entry.collectionPK, SnapshotWriter::snapshotEntries(entry)});
    }
    for (const ScannedMarker &marker : TimelineMarkerScanner::scan(key, resolver.db(), resolver)) {
        entries.push_back({marker.markerPK, marker.timelinePositionSeconds});
    }
    return entries;
}

} // namespace

// The walks log every cycle they skip; the fuzzer meets thousands.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    ::setenv("TANDREL_LOG_LEVEL", "off", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Input in(data, size);
    const fs::path file = freshDatabase();
    int64_t keys = 0;
    try {
        keys = write(in, file);
    } catch (const std::exception &) {
        return 0; // a database the writer refused: nothing to compare
    }
    try {
        auto db = std::make_shared<FCPDatabaseConnection>(file.string());
        CollectionReadModel model(*db);
        compareLookups(*db, model, keys);

        const auto resolverOf = [&](bool models) {
            auto resolver = std::make_unique<TimelineResolver>(
                std::make_shared<FCPDatabaseConnection>(file.string()), nullptr, nullptr, nullptr);
            resolver->setSpineItemBudget(500);
            resolver->setReadModelsEnabled(models);
            return resolver;
        };
        const auto modelled = resolverOf(true);
        const auto statementwise = resolverOf(false);
        // Decodes kept from the inputs before, as a host keeps them from one reading to the
        // next: only ever served for the same bytes.
        static const auto kept = std::make_shared<DecodedBlobCache>();
        kept->beginReading();
        const auto cached = resolverOf(true);
        cached->decodeBlobsThrough(kept);
        for (int64_t pk = 1; pk <= keys; ++pk) {
            if (db->fetchCollectionInfo(pk).type == "FFAnchoredSequence") {
                const auto expected = resolution(*statementwise, pk);
                expect(resolution(*modelled, pk) == expected);
                expect(resolution(*cached, pk) == expected);
            }
        }
    } catch (const FCPDatabaseError &) {
        // A database the statements cannot read either (a table dropped, say).
    }
    return 0;
}
