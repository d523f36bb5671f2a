#include "host/query/QueryResolver.h"

#include "core/database/DatabaseFileState.h"
#include "core/database/FCPDatabaseConnection.h"
#include "core/resolver/MulticamMediaIndex.h"
#include "core/snapshot/SnapshotTexts.h"
#include "core/snapshot/SnapshotWriter.h"
#include "core/support/Log.h"
#include "core/support/UnicodeText.h"

#include <algorithm>
#include <mutex>

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "query");
}

} // namespace

QueryResolver::ValidationError
QueryResolver::ValidationError::noSequenceInFCPXML(const std::string &timelineName) {
    return {Case::noSequenceInFCPXML,
            "The FCPXML contains no timeline matching '" + timelineName +
                "' (and no single obvious timeline to fall back to). Export the FCPXML for the "
                "timeline you selected here."};
}

QueryResolver::ValidationError QueryResolver::ValidationError::timelineNotFound() {
    return {Case::timelineNotFound,
            "The selected timeline is no longer available. Re-select it and try again."};
}

QueryResolver::ValidationError QueryResolver::ValidationError::edlUnavailable() {
    return {Case::edlUnavailable,
            "Could not resolve the selected timeline's edit list from the library."};
}

QueryResolver::QueryResolver(TextOrder order, std::shared_ptr<const ValidationServices> validation)
    : order_(std::move(order)), validation_(std::move(validation)) {}

void QueryResolver::reload(const std::vector<WatchedLibrary> &libraries) {
    std::lock_guard guard(lock_);
    // Readers replaced by the reload before this one and not released since go now.
    replaced_.clear();
    std::map<std::string, Handle> previous = std::move(handles_);
    handles_.clear();
    // Of two timelines with the same id the one with more edits is kept, the first on a tie.
    const auto offer = [this](const std::string &id, Handle handle) {
        const auto known = handles_.find(id);
        if (known == handles_.end() || known->second.editCount < handle.editCount) {
            handles_[id] = std::move(handle);
        }
    };
    assetStore_->clear();
    roleResolver_->clear();
    bool keptReaders = false;
    // What a library cannot give shows later as missing metadata, not as an error.
    for (const WatchedLibrary &library : libraries) {
        try {
            assetStore_->loadAllAssets(library.url);
        } catch (const std::exception &error) {
            log()->info("Media of {} not fully read: {}", library.url.string(), error.what());
        }
        try {
            roleResolver_->loadAllRoles(library.url);
        } catch (const std::exception &error) {
            log()->info("Roles of {} not fully read: {}", library.url.string(), error.what());
        }
        auto multicamIndex = std::make_shared<MulticamMediaIndex>();
        try {
            multicamIndex->scan(library.url);
        } catch (const std::exception &error) {
            log()->info("Multicams of {} not fully read: {}", library.url.string(), error.what());
        }
        for (const WatchedEvent &event : library.events) {
            // Half a save offers no timelines of its own, nor does a database that is away for
            // a moment (removed and not written anew yet): the database's readers from before
            // (and the edit lists they hold) serve on until it can be read again. The library
            // lists the event only for as long as its loss is not believed.
            const auto keepPrevious = [&] {
                bool kept = false;
                for (const auto &[id, handle] : previous) {
                    if (handle.database == event.databaseURL) {
                        offer(id, handle);
                        kept = true;
                    }
                }
                return kept;
            };
            if (DatabaseFileState::of(event.databaseURL).inTheMiddleOfASave() && keepPrevious()) {
                keptReaders = true;
                continue;
            }
            std::shared_ptr<FCPDatabaseConnection> db;
            try {
                db = std::make_shared<FCPDatabaseConnection>(event.databaseURL.string());
            } catch (const std::exception &) {
                // An event that does not open offers no timelines of its own.
                keptReaders = keepPrevious() || keptReaders;
                continue;
            }
            auto resolver = std::make_shared<TimelineResolver>(std::move(db), assetStore_,
                                                               roleResolver_, multicamIndex);
            resolver->decodeBlobsThrough(decodedBlobs_);
            for (const FCPTimelineInfo &timeline : event.timelines) {
                offer(timeline.id, {resolver, timeline.collectionPK, timeline.name, library.name,
                                    event.name, event.path, timeline.editCount, event.databaseURL});
            }
        }
    }
    // What the last reading did not use is let go; the readers decode as they are asked, after
    // this. A reading cut short by half a save (readers kept through it, which answer from what
    // they hold, or a snapshot not read) used little or nothing: it goes on into this one, or
    // the decodes that the reading after the save needs would be let go just before it.
    if (!readingCutShort_) {
        decodedBlobs_->beginReading();
    }
    readingCutShort_ = keptReaders;
    // Let go of later, once the snapshot that follows is written (see releaseReplacedReaders).
    replaced_ = std::move(previous);
}

size_t QueryResolver::keptDecodes() const {
    std::lock_guard guard(lock_);
    return decodedBlobs_->size();
}

void QueryResolver::releaseReplacedReaders() {
    std::map<std::string, Handle> replaced;
    {
        std::lock_guard guard(lock_);
        replaced = std::move(replaced_);
        replaced_.clear();
    }
    // Nobody else reaches them any more: they are taken apart without the lock.
}

std::vector<TimelineChoice> QueryResolver::availableTimelines() const {
    std::vector<TimelineChoice> timelines;
    {
        std::lock_guard guard(lock_);
        timelines.reserve(handles_.size());
        for (const auto &[id, handle] : handles_) {
            // Its name as every view shows it and the panel's selection matches it (at most
            // 300 characters): a name of megabytes travels nowhere whole but to the snapshot
            // and the validation, which take it from the handle.
            timelines.push_back({id, elidedLine(handle.name, shownNameCharacters),
                                 handle.libraryName, handle.eventName, handle.eventPath,
                                 handle.editCount});
        }
    }
    std::stable_sort(timelines.begin(), timelines.end(),
                     [this](const TimelineChoice &a, const TimelineChoice &b) {
                         if (const auto library = order_(a.library, b.library); library != 0) {
                             return library < 0;
                         }
                         if (const auto event = order_(a.eventName, b.eventName); event != 0) {
                             return event < 0;
                         }
                         return order_(a.name, b.name) < 0;
                     });
    return timelines;
}

template <typename Answer>
std::optional<Answer>
QueryResolver::ask(const std::string &timelineID,
                   const std::function<std::optional<Answer>(const Handle &)> &question) {
    std::lock_guard guard(lock_);
    const auto handle = handles_.find(timelineID);
    if (handle == handles_.end()) {
        return std::nullopt;
    }
    try {
        return question(handle->second);
    } catch (const std::exception &error) {
        log()->warn("Reading timeline {} failed: {}", timelineID, error.what());
        return std::nullopt;
    }
}

std::optional<Size> QueryResolver::timelineResolution(const std::string &timelineID) {
    return ask<Size>(timelineID, [](const Handle &handle) {
        return handle.resolver->timelineResolution(handle.collectionPK);
    });
}

std::optional<std::string> QueryResolver::detectedStartTimecode(const std::string &timelineID) {
    return ask<std::string>(timelineID, [](const Handle &handle) -> std::optional<std::string> {
        const auto info = handle.resolver->projectTimecodeInfo(handle.collectionPK);
        return info ? info->startTimecodeString() : std::nullopt;
    });
}

std::optional<TandrelSnapshot> QueryResolver::completeSnapshot(const std::string &timelineID,
                                                               TandrelSnapshot document,
                                                               std::string *midSave) {
    return ask<TandrelSnapshot>(timelineID, [&](const Handle &handle) {
        const auto unsettled = [&](const std::string &why) {
            readingCutShort_ = true;
            if (midSave) {
                *midSave = handle.database.string() + " " + why;
            }
            return std::optional<TandrelSnapshot>();
        };
        // The edit list may be held from an earlier read, but that cannot be told from here:
        // nothing is read, nor served, until the save is over.
        const DatabaseFileState before = DatabaseFileState::of(handle.database);
        if (const auto why = before.inTheMiddleOfASave()) {
            return unsettled(*why);
        }
        const auto list = handle.resolver->getEDL(handle.collectionPK);
        const DatabaseFileState after = DatabaseFileState::of(handle.database);
        if (after != before || after.inTheMiddleOfASave()) {
            handle.resolver->invalidateCache();
            return unsettled("was written while it was read");
        }
        if (!list) {
            return std::optional<TandrelSnapshot>();
        }
        document.timelineID = timelineID;
        document.timelineName = SnapshotTexts::held(handle.name);
        document.libraryName = handle.libraryName;
        document.timelineDropFrame = handle.resolver->timelineDropFrame(handle.collectionPK);
        if (converted_.list.lock() != list) {
            converted_ = {list, {}};
            for (const EditEntry &entry : list->entries()) {
                for (SnapshotEntry &converted : SnapshotWriter::snapshotEntries(entry)) {
                    converted_.entries.push_back(std::move(converted));
                }
            }
        }
        document.entries = converted_.entries;
        return std::optional(std::move(document));
    });
}

TimelineValidator::ValidationReport
QueryResolver::validateAgainstFCPXML(const std::string &timelineID,
                                     const std::filesystem::path &fcpxmlURL) {
    std::string timelineName;
    std::shared_ptr<const EditDecisionList> list;
    {
        std::lock_guard guard(lock_);
        const auto handle = handles_.find(timelineID);
        if (handle == handles_.end()) {
            throw ValidationError::timelineNotFound();
        }
        timelineName = handle->second.name;
        try {
            list = handle->second.resolver->getEDL(handle->second.collectionPK);
        } catch (const std::exception &) {
        }
        if (!list) {
            throw ValidationError::edlUnavailable();
        }
    }
    // The edit list is immutable and shared: reading and comparing need no lock.
    if (!validation_) {
        throw std::runtime_error("FCPXML validation is not available in this build of the host.");
    }
    const FCPXMLParser::Document document = validation_->parse(fcpxmlURL);
    const FCPXMLParser::Sequence *sequence = validation_->sequence(document, timelineName);
    if (!sequence) {
        sequence = validation_->primaryTimeline(document);
    }
    if (!sequence) {
        throw ValidationError::noSequenceInFCPXML(timelineName);
    }
    return validation_->validate(*sequence, list->entries(), validationToleranceFrames,
                                 validationPairingWindowFrames);
}

} // namespace tandrel
