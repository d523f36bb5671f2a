#pragma once

#include "core/database/AssetStore.h"
#include "core/database/DecodedBlobCache.h"
#include "core/database/RoleResolver.h"
#include "core/model/Size.h"
#include "core/resolver/TimelineResolver.h"
#include "core/snapshot/TandrelSnapshot.h"
#include "core/validation/TimelineValidator.h"
#include "host/query/SingleEntryMutex.h"
#include "host/query/TimelineChoice.h"
#include "host/query/ValidationServices.h"
#include "host/query/WatchedLibrary.h"

#include <compare>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tandrel {

// The host's questions about the timelines of all watched libraries, answered by the library
// readers: which timelines there are, a timeline's frame size, start timecode and snapshot, and
// the check of a timeline against an FCPXML export.
//
// The readers are not safe for concurrent use, so one lock guards them: every operation takes
// it for its whole work with them and releases it before it returns; validation, which runs
// off the main thread, holds it only while the edit list is resolved. No operation calls out
// while it holds the lock. Uses standard-library types only, so that the ThreadSanitizer build
// can test it.
class QueryResolver {
public:
    class ValidationError : public std::runtime_error {
    public:
        enum class Case { noSequenceInFCPXML, timelineNotFound, edlUnavailable };

        static ValidationError noSequenceInFCPXML(const std::string &timelineName);
        static ValidationError timelineNotFound();
        static ValidationError edlUnavailable();

        Case errorCase() const { return case_; }

    private:
        ValidationError(Case c, const std::string &description)
            : std::runtime_error(description), case_(c) {}

        Case case_;
    };

    // The order of two texts for the timeline list: localized and without regard to case.
    using TextOrder = std::function<std::weak_ordering(const std::string &, const std::string &)>;

    // What the host allows between its edit list and the FCPXML's, in frames.
    static constexpr int64_t validationToleranceFrames = 0;
    static constexpr int64_t validationPairingWindowFrames = 3;

    // Empty: no timelines, empty stores. Without validation services, every validation of a
    // known timeline fails with a message that says so.
    explicit QueryResolver(TextOrder order,
                           std::shared_ptr<const ValidationServices> validation = nullptr);

    // Replaces every timeline by those of `libraries`: their media and roles in the shared
    // stores, a multicam index per library, one connection and resolver per event database
    // that opens (the others are skipped without a word). Of two timelines with the same id
    // the one with more edits is kept, the first on a tie. A database in the middle of a save
    // keeps the timelines and readers it had before, when it had any. Never fails.
    void reload(const std::vector<WatchedLibrary> &libraries);

    // Lets go of the readers the last reload replaced (their connections, read models and
    // edit lists). A reload keeps them until this call, or until the next reload, so that
    // taking them apart does not delay the snapshot that follows it.
    void releaseReplacedReaders();

    // The blobs decoded and kept for the readings after this one.
    size_t keptDecodes() const;

    // Every timeline, by library, then event name, then name, each in the text order; texts
    // in the same place keep the order of their ids.
    std::vector<TimelineChoice> availableTimelines() const;

    // Nothing for an unknown timeline, or when the library does not say.
    std::optional<Size> timelineResolution(const std::string &timelineID);
    std::optional<std::string> detectedStartTimecode(const std::string &timelineID);

    // Compares the timeline's edit list with its FCPXML export (the sequence of the timeline's
    // name, else the export's one obvious sequence). Fails with ValidationError, or with the
    // FCPXML reader's own error unchanged. The file is read without the lock.
    TimelineValidator::ValidationReport
    validateAgainstFCPXML(const std::string &timelineID, const std::filesystem::path &fcpxmlURL);

    // `document` completed for the timeline: its id, name, library, drop-frame flag and the
    // snapshot entries of its edit list; the caller fills the rest. Nothing when the timeline
    // is unknown or its edit list does not resolve, and nothing either when its database is
    // in the middle of a save, or was written while it was read: part of a save is no edit
    // list (and what was read of it is forgotten). `midSave`, when given, then says why; it is
    // left alone otherwise.
    std::optional<TandrelSnapshot> completeSnapshot(const std::string &timelineID,
                                                    TandrelSnapshot document,
                                                    std::string *midSave = nullptr);

    // The role definitions of all watched libraries, for the role picker. A reload replaces
    // them and a validation reads them off the main thread, both under `lock()`: a reader
    // holds it for each read and copies what it needs before letting go.
    const RoleResolver &roleResolver() const { return *roleResolver_; }
    // The lock that guards the readers and the role definitions.
    SingleEntryMutex &lock() const { return lock_; }

private:
    struct Handle {
        std::shared_ptr<TimelineResolver> resolver;
        int64_t collectionPK = 0;
        std::string name;
        std::string libraryName;
        std::string eventName;
        std::string eventPath;
        int64_t editCount = 0;
        std::filesystem::path database;
    };

    // Runs `question` on the timeline's handle under the lock; nothing for an unknown
    // timeline, or when the readers fail.
    template <typename Answer>
    std::optional<Answer> ask(const std::string &timelineID,
                              const std::function<std::optional<Answer>(const Handle &)> &question);

    const TextOrder order_;
    const std::shared_ptr<const ValidationServices> validation_;
    mutable SingleEntryMutex lock_;
    std::map<std::string, Handle> handles_;
    std::map<std::string, Handle> replaced_;
    const std::shared_ptr<AssetStore> assetStore_ = std::make_shared<AssetStore>();
    const std::shared_ptr<RoleResolver> roleResolver_ = std::make_shared<RoleResolver>();
    // Blobs decoded by the readers, kept from one reload to the next: a reload after a save
    // decodes only what the save changed.
    const std::shared_ptr<DecodedBlobCache> decodedBlobs_ = std::make_shared<DecodedBlobCache>();
    // The reading of the blobs since the last reload met half a save.
    bool readingCutShort_ = false;
    // The snapshot entries of the last edit list made into a snapshot, while that list is the
    // one its resolver holds: a rewrite for a preset or start timecode converts nothing again
    // (converting keeps every text of every entry as the snapshot keeps it).
    struct ConvertedList {
        std::weak_ptr<const EditDecisionList> list;
        std::vector<SnapshotEntry> entries;
    };
    ConvertedList converted_;
};

} // namespace tandrel
