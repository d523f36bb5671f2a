#pragma once

#include "core/database/AssetStore.h"
#include "core/database/CollectionSource.h"
#include "core/database/FCPDatabaseConnection.h"
#include "core/resolver/AssetInfoResolver.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace tandrel {

// Where the multicam (and compound) sequences of a library live, by media identifier, and the
// source facts of a multicam clip's active angle with the clock offset between the multicam's
// own time and that angle's media. A library is scanned once per reload; a lookup from a
// database of a library not scanned yet scans that library then. Not thread-safe.
class MulticamMediaIndex {
public:
    struct SequenceLocation {
        // Owned by the index and open while it lives.
        FCPDatabaseConnection &db;
        int64_t sequencePK;
    };

    // Adds the sequences of every event of the library; the first sequence found for a media
    // identifier stays, in this scan and later ones. Unreadable events are skipped.
    void scan(const std::filesystem::path &libraryURL);

    std::optional<SequenceLocation>
    sequenceLocation(std::string_view mediaIdentifier,
                     std::optional<std::string_view> referencingDBPath);

    // The index's read-only connection to an event database, opened on first use and kept
    // while the index lives; nothing when it does not open. Items that a timeline shows from
    // another event's database are read through it.
    FCPDatabaseConnection *connection(const std::string &dbPath);

    // The asset information of the angle whose angle ID is `matchingAngleID` (the first angle
    // when none matches), with its clock offset at `assemblyPosition` (seconds on the
    // multicam's own time) when the angle matched. Nothing when the sequence or its angles
    // cannot be found. The sequence's database is read through `readModels` when given.
    std::optional<AssetInfoResolver::AssetInfo>
    resolve(std::string_view mediaIdentifier, const std::optional<std::string> &matchingAngleID,
            const AssetStore &assetStore, std::optional<std::string_view> referencingDBPath,
            std::optional<double> assemblyPosition, CollectionReadModels *readModels = nullptr);

    // The offset o such that the angle's source time at assembly position p is p + o: the
    // angle's clip that contains p (gaps skipped, within 1/240 s), else the first clip's offset
    // when p lies near enough the angle's clips. Nothing when no clip of the angle decides it.
    static std::optional<double> angleClockOffset(double assemblyPosition, int64_t anglePK,
                                                  int64_t spinePK, const CollectionSource &db);

    // The library bundle that holds an event database: the nearest ancestor folder whose
    // extension is "fcpbundle" (any case).
    static std::optional<std::filesystem::path> libraryRoot(std::string_view eventDBPath);
    // The standardised path without trailing separators.
    static std::string rootKey(const std::filesystem::path &location);

    int scanCount() const { return scanCount_; }

private:
    struct Entry {
        std::string dbPath;
        int64_t sequencePK;
    };

    std::map<std::string, Entry, std::less<>> index_;
    std::map<std::string, std::unique_ptr<FCPDatabaseConnection>, std::less<>> dbCache_;
    std::set<std::string, std::less<>> scannedRoots_;
    int scanCount_ = 0;
};

} // namespace tandrel
