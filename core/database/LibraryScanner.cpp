#include "core/database/LibraryScanner.h"

#include "core/database/BlobDecoder.h"
#include "core/database/CollectionReads.h"
#include "core/database/DatabaseFileState.h"
#include "core/support/Log.h"

#include <algorithm>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "library");
}

template <size_t N>
bool contains(const std::array<std::string_view, N> &names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isTimeline(const BlobDecoder::DecodedBlob &blob) {
    for (const auto &key : blob.rootKeys()) {
        if (contains(LibraryScanner::realSequenceStrongKeys, key)) {
            return true;
        }
    }
    if (const auto *metadata = blob.dictionary("metadata")) {
        for (const auto &[key, value] : *metadata) {
            if (contains(LibraryScanner::shareMetadataKeys, key)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::vector<fs::directory_entry> LibraryScanner::visibleEntries(const fs::path &folder) {
    std::vector<fs::directory_entry> entries;
    for (const auto &entry : fs::directory_iterator(folder)) {
        if (!entry.path().filename().string().starts_with(".")) {
            entries.push_back(entry);
        }
    }
    return entries;
}

LibraryScanner::UnsettledLibrary::UnsettledLibrary(FCPLibrary read,
                                                   const std::vector<std::string> &reasons,
                                                   std::vector<fs::path> databases)
    : std::runtime_error([&] {
          std::string text = "A save was under way while " + read.url.string() + " was read";
          for (const std::string &reason : reasons) {
              text += "; " + reason;
          }
          return text;
      }()),
      read_(std::move(read)), databases_(std::move(databases)) {}

FCPLibrary LibraryScanner::scan(const fs::path &libraryURL) {
    return scanNoting(libraryURL, nullptr);
}

FCPLibrary LibraryScanner::scanSettled(const fs::path &libraryURL) {
    Unsettled unsettled;
    FCPLibrary library = scanNoting(libraryURL, &unsettled);
    if (!unsettled.reasons.empty()) {
        throw UnsettledLibrary(std::move(library), unsettled.reasons,
                               std::move(unsettled.databases));
    }
    return library;
}

FCPLibrary LibraryScanner::scanNoting(const fs::path &libraryURL, Unsettled *unsettled) {
    // A trailing separator, "." or ".." lead to a folder whose own name is the library's.
    std::error_code ignored;
    fs::path folder = fs::absolute(libraryURL, ignored).lexically_normal();
    if (!folder.has_filename()) {
        folder = folder.parent_path();
    }
    std::vector<FCPEvent> events;
    std::set<std::string> seen;
    collectEvents(libraryURL, "", "", 0, events, seen, unsettled);
    return FCPLibrary{libraryURL, folder.stem().string(), suppressShadowedStubs(std::move(events))};
}

void LibraryScanner::collectEvents(const fs::path &folder, const std::string &namePrefix,
                                   const std::string &eventName, int depth,
                                   std::vector<FCPEvent> &events,
                                   std::set<std::string> &seenDBPaths, Unsettled *unsettled) {
    if (depth > maxWalkDepth) {
        return;
    }
    std::vector<fs::directory_entry> entries;
    try {
        entries = visibleEntries(folder);
    } catch (const std::exception &) {
        // A library that is gone (an unmounted drive, a deleted bundle) is a failure, not a
        // library without events: its watcher must not show it as read. Folders inside it
        // that cannot be listed only give fewer events.
        if (depth == 0) {
            throw;
        }
        return;
    }
    for (const auto &entry : entries) {
        std::error_code error;
        // Properties of the entry itself: a link to a folder is not a folder here.
        const auto status = entry.symlink_status(error);
        if (error || !fs::is_directory(status)) {
            continue;
        }
        const std::string name = entry.path().filename().string();
        if (contains(fcpInternalMediaFolderNames, name)) {
            continue;
        }
        const std::string label = namePrefix.empty() ? name : namePrefix + " / " + name;
        const std::string owner = eventName.empty() ? name : eventName;
        const fs::path database = entry.path() / eventDatabaseName;
        if (fs::exists(database, error)) {
            const fs::path resolved = fs::canonical(database, error);
            const std::string key = error ? database.string() : resolved.string();
            if (const auto why = FCPDatabaseConnection::notARegularFile(database.string())) {
                // Opening it could block the scan for good (a named pipe) and could never give
                // timelines: the folder is no event.
                log()->warn("Skipped event \"{}\": {}", label, *why);
            } else if (seenDBPaths.insert(key).second) {
                const std::optional<DatabaseFileState> before =
                    unsettled ? std::optional(DatabaseFileState::of(database)) : std::nullopt;
                const std::optional<std::string> midSave =
                    before ? before->inTheMiddleOfASave() : std::nullopt;
                std::vector<FCPTimelineInfo> timelines;
                std::optional<std::string> failure;
                if (!before || !before->logInFlight) {
                    try {
                        FCPDatabaseConnection db(database.string());
                        timelines = discoverTimelines(db);
                    } catch (const std::exception &error) {
                        timelines.clear();
                        failure = error.what();
                    }
                }
                if (before) {
                    std::optional<std::string> why;
                    if (midSave) {
                        why = "its database " + *midSave;
                    } else if (DatabaseFileState::of(database) != *before) {
                        why = "its database changed while it was read";
                    }
                    if (why) {
                        unsettled->reasons.push_back(label + ": " + *why);
                        unsettled->databases.push_back(database);
                        // Half a save is no reason to call the database unreadable.
                        failure.reset();
                    }
                }
                FCPEvent &event = events.emplace_back(owner, label, database, std::move(timelines));
                event.readFailure = std::move(failure);
            }
        }
        if (!fs::is_symlink(status)) {
            collectEvents(entry.path(), label, owner, depth + 1, events, seenDBPaths, unsettled);
        }
    }
}

std::vector<FCPTimelineInfo> LibraryScanner::discoverTimelines(FCPDatabaseConnection &db) {
    const auto projectLists = db.fetchCollections("FFMediaEventProjectData");
    if (projectLists.empty()) {
        return {};
    }
    std::vector<int64_t> candidates;
    std::set<int64_t> recorded;
    for (int64_t child : CollectionReads::children(db, projectLists.front().pk)) {
        if (CollectionReads::type(db, child) != "NSSet") {
            continue;
        }
        for (int64_t member : CollectionReads::children(db, child)) {
            if (recorded.insert(member).second) {
                candidates.push_back(member);
            }
        }
    }
    std::vector<FCPTimelineInfo> timelines;
    for (int64_t pk : candidates) {
        FCPDatabaseConnection::CollectionInfo info;
        try {
            info = db.fetchCollectionInfo(pk);
        } catch (const std::exception &) {
            continue;
        }
        if (info.type != "FFAnchoredSequence") {
            continue;
        }
        const auto blob = CollectionReads::blob(db, pk);
        if (!blob || !isTimeline(*blob)) {
            continue;
        }
        std::string name = info.identifier.value_or("Untitled");
        int64_t editCount = 0;
        if (auto primary = db.childPK(pk, "primaryObject")) {
            const auto storylines = CollectionReads::children(db, *primary);
            if (!storylines.empty()) {
                const int64_t storyline = storylines.front();
                if (auto items = db.childPK(storyline, "containedItems")) {
                    editCount = static_cast<int64_t>(CollectionReads::children(db, *items).size());
                }
                if (auto storylineBlob = CollectionReads::blob(db, storyline)) {
                    auto displayName = storylineBlob->string("displayName");
                    if (displayName && !displayName->empty()) {
                        name = *displayName;
                    }
                }
            }
        }
        timelines.push_back(
            {db.path() + "#" + std::to_string(pk), name, pk, editCount, std::nullopt});
    }
    return timelines;
}

std::vector<FCPEvent> LibraryScanner::suppressShadowedStubs(std::vector<FCPEvent> events) {
    std::map<std::string, std::vector<std::string>> editedPaths;
    for (const auto &event : events) {
        for (const auto &timeline : event.timelines) {
            if (timeline.editCount > 0) {
                editedPaths[timeline.name].push_back(event.path);
            }
        }
    }
    if (editedPaths.empty()) {
        return events;
    }
    for (auto &event : events) {
        const std::string nestedPrefix = event.path + " / ";
        std::erase_if(event.timelines, [&](const FCPTimelineInfo &timeline) {
            if (timeline.editCount != 0) {
                return false;
            }
            auto it = editedPaths.find(timeline.name);
            return it != editedPaths.end() &&
                   std::any_of(it->second.begin(), it->second.end(), [&](const std::string &path) {
                       return path.starts_with(nestedPrefix);
                   });
        });
    }
    return events;
}

std::vector<fs::path> LibraryScanner::findMediaFilesDatabases(const fs::path &libraryURL) {
    std::vector<fs::path> databases;
    for (const auto &entry : visibleEntries(libraryURL)) {
        const fs::path database = entry.path() / eventDatabaseName;
        std::error_code error;
        if (!fs::exists(database, error)) {
            continue;
        }
        try {
            FCPDatabaseConnection db(database.string());
            if (!db.fetchCollections("FFAsset").empty()) {
                databases.push_back(database);
            }
        } catch (const std::exception &) {
            continue;
        }
    }
    return databases;
}

} // namespace tandrel
