#pragma once

// Fixtures of the clip readers: a generated library with its asset store and connections to
// its event databases, the spine items of its timelines, and a small writer of hand-made
// event databases for shapes no description produces.

#include "core/database/AssetStore.h"
#include "core/database/CollectionReads.h"
#include "core/database/FCPDatabaseConnection.h"
#include "core/database/LibraryScanner.h"
#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/EventDatabaseWriter.h"
#include "tools/make-sample-library/KeyedArchiver.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tandrel::testing {

class GeneratedLibrary {
public:
    explicit GeneratedLibrary(const sample::LibraryDescription &description)
        : bundle_(sample::SampleLibraryWriter::write(description, folder_.path())) {
        assets.loadAllAssets(bundle_);
    }

    const std::filesystem::path &bundle() const { return bundle_; }
    std::string databasePath(const std::string &eventFolder) const {
        return (bundle_ / eventFolder / LibraryScanner::eventDatabaseName).string();
    }

    FCPDatabaseConnection &event(const std::string &eventFolder) {
        auto &db = connections_[eventFolder];
        if (!db) {
            db = std::make_unique<FCPDatabaseConnection>(databasePath(eventFolder));
        }
        return *db;
    }

    // The items of a timeline's primary storyline, in editing order.
    std::vector<int64_t> spine(const std::string &eventFolder, const std::string &timeline) {
        FCPDatabaseConnection &db = event(eventFolder);
        for (const auto &info : LibraryScanner::discoverTimelines(db)) {
            if (info.name == timeline) {
                const auto storylines =
                    CollectionReads::slotItems(db, info.collectionPK, "primaryObject");
                return CollectionReads::orderedContainedItems(db, storylines.at(0));
            }
        }
        throw std::invalid_argument("no timeline " + timeline);
    }

    AssetStore assets;

private:
    ScratchFolder folder_;
    std::filesystem::path bundle_;
    std::map<std::string, std::unique_ptr<FCPDatabaseConnection>> connections_;
};

// An event database written collection by collection, then opened for reading.
class HandMadeEvent {
public:
    using P = PlistValue;

    HandMadeEvent() : file_(folder_ / "CurrentVersion.fcpevent"), writer_(file_) {}

    static Bytes archive(P::Dictionary root) {
        return sample::KeyedArchiver::archive(P::dictionary(std::move(root)));
    }

    int64_t add(const std::string &type, std::optional<P::Dictionary> blob,
                std::optional<int64_t> parent = std::nullopt,
                std::optional<std::string> name = std::nullopt) {
        std::optional<Bytes> bytes;
        if (blob) {
            bytes = archive(std::move(*blob));
        }
        return writer_.add({type, std::nullopt, std::move(name), std::move(bytes)}, parent);
    }
    // A named slot of `parent` ("anchoredItems", "containedItems" ...).
    int64_t slot(int64_t parent, const std::string &name) {
        return add("NSArray", std::nullopt, parent, name);
    }
    sample::EventDatabaseWriter &writer() { return writer_; }

    // Finishes writing; the event is read-only from then on.
    FCPDatabaseConnection &open() {
        if (!db_) {
            writer_.close();
            db_ = std::make_unique<FCPDatabaseConnection>(file_.string());
        }
        return *db_;
    }

private:
    ScratchFolder folder_;
    std::filesystem::path file_;
    sample::EventDatabaseWriter writer_;
    std::unique_ptr<FCPDatabaseConnection> db_;
};

// The statements that key an event database's join table by parent and child, as the editor
// keys it, and rewrite its rows in reverse order: a parent's lookup then meets its children by
// ascending key, which is not the order they were written in.
inline const std::vector<std::string> &joinTableKeyedByParentAndChild() {
    static const std::vector<std::string> statements{
        "CREATE TABLE J (Z_3PARENTCOLLECTIONS INTEGER, Z_3CHILDCOLLECTIONS INTEGER, "
        "PRIMARY KEY (Z_3PARENTCOLLECTIONS, Z_3CHILDCOLLECTIONS))",
        "INSERT OR IGNORE INTO J SELECT * FROM Z_3CHILDCOLLECTIONS ORDER BY rowid DESC",
        "DROP TABLE Z_3CHILDCOLLECTIONS",
        "ALTER TABLE J RENAME TO Z_3CHILDCOLLECTIONS",
        "CREATE INDEX J_CHILD ON Z_3CHILDCOLLECTIONS (Z_3CHILDCOLLECTIONS, Z_3PARENTCOLLECTIONS)",
    };
    return statements;
}

} // namespace tandrel::testing
