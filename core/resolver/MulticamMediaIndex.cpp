#include "core/resolver/MulticamMediaIndex.h"

#include "core/database/CollectionReads.h"
#include "core/database/LibraryScanner.h"
#include "core/model/TimecodeCalculator.h"
#include "core/support/AsciiText.h"

#include <algorithm>
#include <limits>

namespace fs = std::filesystem;

namespace tandrel {

namespace {

fs::path standardised(const fs::path &location) {
    std::error_code ignored;
    fs::path absolute = fs::absolute(location, ignored);
    if (absolute.empty()) {
        absolute = location;
    }
    return absolute.lexically_normal();
}

std::string withoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

size_t componentCount(const fs::path &location) {
    return static_cast<size_t>(std::distance(location.begin(), location.end()));
}

} // namespace

std::string MulticamMediaIndex::rootKey(const fs::path &location) {
    return withoutTrailingSeparators(standardised(location).string());
}

std::optional<fs::path> MulticamMediaIndex::libraryRoot(std::string_view eventDBPath) {
    fs::path location = withoutTrailingSeparators(standardised(fs::path(eventDBPath)).string());
    while (componentCount(location) >= 2) {
        location = location.parent_path();
        if (asciiLowercased(location.extension().string()) == ".fcpbundle") {
            return location;
        }
    }
    return std::nullopt;
}

void MulticamMediaIndex::scan(const fs::path &libraryURL) {
    scannedRoots_.insert(rootKey(libraryURL));
    ++scanCount_;
    std::vector<FCPEvent> events;
    try {
        events = LibraryScanner::scan(libraryURL).events;
    } catch (const std::exception &) {
        return; // a library that is gone holds no media to find
    }
    for (const FCPEvent &event : events) {
        const std::string dbPath = event.databaseURL.string();
        std::vector<FCPDatabaseConnection::CollectionRow> rows;
        try {
            FCPDatabaseConnection db(dbPath);
            rows = db.fetchCollections("FFAnchoredSequence");
        } catch (const std::exception &) {
            continue;
        }
        for (const auto &row : rows) {
            if (!row.blob) {
                continue;
            }
            std::optional<std::string> mediaIdentifier;
            try {
                mediaIdentifier = BlobDecoder::decode(*row.blob).string("mediaIdentifier");
            } catch (const std::exception &) {
                continue;
            }
            if (mediaIdentifier && !index_.contains(*mediaIdentifier)) {
                index_.emplace(*mediaIdentifier, Entry{dbPath, row.pk});
            }
        }
    }
}

std::optional<MulticamMediaIndex::SequenceLocation>
MulticamMediaIndex::sequenceLocation(std::string_view mediaIdentifier,
                                     std::optional<std::string_view> referencingDBPath) {
    auto found = index_.find(mediaIdentifier);
    if (found == index_.end() && referencingDBPath) {
        if (auto root = libraryRoot(*referencingDBPath);
            root && !scannedRoots_.contains(rootKey(*root))) {
            scan(*root);
            found = index_.find(mediaIdentifier);
        }
    }
    if (found == index_.end()) {
        return std::nullopt;
    }
    const Entry &entry = found->second;
    FCPDatabaseConnection *db = connection(entry.dbPath);
    if (!db) {
        return std::nullopt;
    }
    return SequenceLocation{*db, entry.sequencePK};
}

FCPDatabaseConnection *MulticamMediaIndex::connection(const std::string &dbPath) {
    auto cached = dbCache_.find(dbPath);
    if (cached == dbCache_.end()) {
        try {
            cached =
                dbCache_.emplace(dbPath, std::make_unique<FCPDatabaseConnection>(dbPath)).first;
        } catch (const std::exception &) {
            return nullptr;
        }
    }
    return cached->second.get();
}

std::optional<AssetInfoResolver::AssetInfo> MulticamMediaIndex::resolve(
    std::string_view mediaIdentifier, const std::optional<std::string> &matchingAngleID,
    const AssetStore &assetStore, std::optional<std::string_view> referencingDBPath,
    std::optional<double> assemblyPosition, CollectionReadModels *readModels) {
    const auto location = sequenceLocation(mediaIdentifier, referencingDBPath);
    if (!location) {
        return std::nullopt;
    }
    const CollectionSource db = CollectionSource::of(location->db, readModels);
    const auto primary = db.childPK(location->sequencePK, "primaryObject");
    const auto spines = primary ? CollectionReads::children(db, *primary) : CollectionKeys();
    if (spines.empty()) {
        return std::nullopt;
    }
    const int64_t spine = spines.front();
    const auto contained = db.childPK(spine, "containedItems");
    const auto items = contained ? CollectionReads::children(db, *contained) : CollectionKeys();
    if (items.empty()) {
        return std::nullopt;
    }
    const auto anchored = db.childPK(items.front(), "anchoredItems");
    if (!anchored) {
        return std::nullopt;
    }
    const auto angles = CollectionReads::children(db, *anchored);
    std::optional<int64_t> chosen;
    bool matched = false;
    if (matchingAngleID) {
        for (int64_t angle : angles) {
            const auto blob = CollectionReads::blob(db, angle);
            if (blob && blob->string("angleID") == *matchingAngleID) {
                chosen = angle;
                matched = true;
                break;
            }
        }
    }
    if (!chosen) {
        if (angles.empty()) {
            return std::nullopt;
        }
        chosen = angles.front();
    }
    auto info = AssetInfoResolver::findAssetInfo(*chosen, db, assetStore, nullptr, std::nullopt,
                                                 std::nullopt);
    if (matched && assemblyPosition) {
        info.multicamAngleClockOffset = angleClockOffset(*assemblyPosition, *chosen, spine, db);
    }
    return info;
}

std::optional<double> MulticamMediaIndex::angleClockOffset(double assemblyPosition, int64_t anglePK,
                                                           int64_t spinePK,
                                                           const CollectionSource &db) {
    constexpr double e = AssetInfoResolver::tolerance;
    const auto spine = CollectionReads::blob(db, spinePK);
    const auto startText = spine ? spine->string("unclippedStart") : std::nullopt;
    const auto unclippedStart =
        startText ? TimecodeCalculator::parseCMTimeString(*startText) : std::nullopt;
    if (!unclippedStart) {
        return std::nullopt;
    }
    const double u = *unclippedStart;
    const auto items = CollectionReads::orderedContainedItems(db, anglePK);
    if (items.empty()) {
        return std::nullopt;
    }
    const double t = assemblyPosition - u;
    double cursor = 0;
    double minStart = std::numeric_limits<double>::infinity();
    double maxEnd = -std::numeric_limits<double>::infinity();
    bool clipSeen = false;
    std::optional<double> firstCandidate;
    for (int64_t item : items) {
        const auto blob = CollectionReads::blob(db, item);
        const auto rangeText = blob ? blob->string("clippedRange") : std::nullopt;
        const auto range =
            rangeText ? TimecodeCalculator::parseCMTimeRangeString(*rangeText) : std::nullopt;
        if (!range) {
            continue;
        }
        const double s = range->start;
        const double d = range->duration;
        if (CollectionReads::type(db, item) == "FFAnchoredGapGeneratorComponent") {
            cursor += d;
            continue;
        }
        const double candidate = s - (cursor + u);
        if (!firstCandidate) {
            firstCandidate = candidate;
        }
        minStart = std::min(minStart, s);
        maxEnd = std::max(maxEnd, s + d);
        if (cursor - e <= t && t < cursor + d + e) {
            return candidate;
        }
        clipSeen = true;
        cursor += d;
    }
    if (!clipSeen || minStart > maxEnd) {
        return std::nullopt;
    }
    const double v = *firstCandidate + assemblyPosition;
    if (minStart - cursor - e <= v && v <= cursor + maxEnd + e) {
        return firstCandidate;
    }
    return std::nullopt;
}

} // namespace tandrel
