#pragma once

#include "core/database/FCPDatabaseConnection.h"
#include "core/model/FCPLibrary.h"

#include <array>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// Turns one library bundle into its events and the timelines a user would pick: walks the
// bundle's folders, opens each event database read-only, recognises the project sequences
// and counts their edits, then hides empty placeholders shadowed by an edited namesake in a
// nested event. Stateless.
struct LibraryScanner {
    // Folders that hold media, never events; never entered.
    static constexpr std::array<std::string_view, 9> fcpInternalMediaFolderNames{
        "Original Media", "Optimized Media",    "Proxy Media",  "Transcoded Media", "Render Files",
        "Analysis Files", "High Quality Media", "Shared Items", "Motion Templates"};
    // Root keys of a sequence blob that mark a real project sequence.
    static constexpr std::array<std::string_view, 5> realSequenceStrongKeys{
        "sequenceType", "captionPlaybackEnabled", "captionPlaybackRoleUID", "audioSampleRate",
        "audioChannelCount"};
    // Keys of a sequence's "metadata" dictionary that mark a shared project.
    static constexpr std::array<std::string_view, 2> shareMetadataKeys{"FFShareTitleKey",
                                                                       "FFShareCreatorKey"};
    static constexpr std::string_view eventDatabaseName = "CurrentVersion.fcpevent";
    // Folders deeper than this below the library are not entered.
    static constexpr int maxWalkDepth = 7;

    // Fails with std::filesystem::filesystem_error when the library folder itself cannot be
    // listed (missing, not a folder, no permission); folders and databases inside it that
    // cannot be read give fewer events or timelines.
    static FCPLibrary scan(const std::filesystem::path &libraryURL);
    // What `scanSettled` read of a library while one of its databases was in the middle of a
    // save: transient, not the library's content.
    class UnsettledLibrary : public std::runtime_error {
    public:
        UnsettledLibrary(FCPLibrary read, const std::vector<std::string> &reasons,
                         std::vector<std::filesystem::path> databases);
        // The library as it read then: it may lack events and timelines it has.
        const FCPLibrary &library() const { return read_; }
        // The event databases that were in the middle of a save.
        const std::vector<std::filesystem::path> &databases() const { return databases_; }

    private:
        FCPLibrary read_;
        std::vector<std::filesystem::path> databases_;
    };
    // `scan`, for a library that an editor may be saving: fails with UnsettledLibrary when a
    // database was half written or changed while it was read, so that the caller reads it
    // again once the save is over instead of taking a part of it for the library. A database
    // whose log holds a commit its index does not count yet is not opened: reading it could
    // wait on a writer that may never come back.
    static FCPLibrary scanSettled(const std::filesystem::path &libraryURL);
    // Fails with `queryFailed` when the project list cannot be queried.
    static std::vector<FCPTimelineInfo> discoverTimelines(FCPDatabaseConnection &db);
    // The top-level event databases holding at least one asset. Fails with
    // std::filesystem::filesystem_error when the library folder cannot be listed.
    static std::vector<std::filesystem::path>
    findMediaFilesDatabases(const std::filesystem::path &libraryURL);
    static std::vector<FCPEvent> suppressShadowedStubs(std::vector<FCPEvent> events);

    // The folder's visible entries in listing order (names starting with "." are hidden).
    // Fails like std::filesystem::directory_iterator.
    static std::vector<std::filesystem::directory_entry>
    visibleEntries(const std::filesystem::path &folder);

private:
    // The databases read in the middle of a save, and why each was.
    struct Unsettled {
        std::vector<std::string> reasons;
        std::vector<std::filesystem::path> databases;
    };
    static void collectEvents(const std::filesystem::path &folder, const std::string &namePrefix,
                              const std::string &eventName, int depth,
                              std::vector<FCPEvent> &events, std::set<std::string> &seenDBPaths,
                              Unsettled *unsettled);
    // `scan`; with `unsettled`, also notes each database read in the middle of a save.
    static FCPLibrary scanNoting(const std::filesystem::path &libraryURL, Unsettled *unsettled);
};

} // namespace tandrel
