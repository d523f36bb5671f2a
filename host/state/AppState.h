#pragma once

#include "core/model/BundledPresets.h"
#include "core/model/DisplayConfig.h"
#include "core/model/FCPLibrary.h"
#include "core/model/Size.h"
#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/Uuid.h"
#include "host/bridge/DarwinNotification.h"
#include "host/bridge/PresetSummary.h"
#include "host/query/QueryResolver.h"
#include "host/query/TimelineChoice.h"
#include "host/query/ValidationServices.h"
#include "host/query/WatchedLibrary.h"
#include "host/state/LibraryWatcher.h"
#include "host/state/PluginUpdateState.h"
#include "platform/automation/EditorAutomation.h"
#include "platform/bookmarks/SecurityScopedBookmarks.h"
#include "platform/pasteboard/Pasteboard.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/FileSystemEventStream.h"
#include "platform/runtime/KeyValueStore.h"
#include "platform/runtime/Timer.h"

#include <QObject>

#include <chrono>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tandrel {

// The host's one observable state: the watched libraries and their timelines, the served
// timeline and its snapshot, the status line, the presets, the element selection, and the
// services behind them (library watcher, query resolver). Every host view reads its
// properties and calls its operations.
//
// Everything here belongs to the main thread. Each published field has one change signal,
// emitted once the new value is stored, and only when the value changed; no signal is emitted
// while the query resolver's lock is held, so a slot may call back into the state object and
// its resolver. Callbacks from elsewhere (file-system events, other threads) reach it through
// the main queue.
//
// The operations are grouped by concern, one source file each: the object, its start and its
// change rules (AppState.cpp); the active timeline, the snapshot and the status line
// (AppStateTimeline.cpp); watched libraries (AppStateLibraries.cpp) and their bookmarks
// (AppStateBookmarks.cpp); detection of the editor's open libraries (AppStateDetection.cpp);
// presets (AppStatePresets.cpp); element editing and the element pasteboard
// (AppStateElements.cpp); the editor panel and validation against its FCPXML
// (AppStateBridge.cpp).
class AppState : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::vector<tandrel::WatchedLibrary> watchedLibraries READ watchedLibraries NOTIFY
                   watchedLibrariesChanged)
    Q_PROPERTY(std::vector<tandrel::TimelineChoice> availableTimelines READ availableTimelines
                   NOTIFY availableTimelinesChanged)
    Q_PROPERTY(std::optional<std::string> activeTimelineID READ activeTimelineID NOTIFY
                   activeTimelineIDChanged)
    Q_PROPERTY(std::optional<tandrel::Size> activeTimelineResolution READ activeTimelineResolution
                   NOTIFY activeTimelineResolutionChanged)
    Q_PROPERTY(bool snapshotWritten READ snapshotWritten NOTIFY snapshotWrittenChanged)
    Q_PROPERTY(std::string statusMessage READ statusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(std::optional<platform::Clock::WallTime> lastSnapshotTime READ lastSnapshotTime
                   NOTIFY lastSnapshotTimeChanged)
    Q_PROPERTY(bool isRefreshing READ isRefreshing NOTIFY isRefreshingChanged)
    Q_PROPERTY(std::optional<std::string> lastLibraryDetectionError READ lastLibraryDetectionError
                   NOTIFY lastLibraryDetectionErrorChanged)
    Q_PROPERTY(bool lastLibraryDetectionNeedsAutomationPermission READ
                   lastLibraryDetectionNeedsAutomationPermission NOTIFY
                       lastLibraryDetectionNeedsAutomationPermissionChanged)
    Q_PROPERTY(std::string projectStartTimecode READ projectStartTimecode WRITE
                   setProjectStartTimecode NOTIFY projectStartTimecodeChanged)
    Q_PROPERTY(std::optional<std::string> detectedProjectStartTimecode READ
                   detectedProjectStartTimecode NOTIFY detectedProjectStartTimecodeChanged)
    Q_PROPERTY(std::vector<tandrel::DisplayConfig> presets READ presets WRITE setPresets NOTIFY
                   presetsChanged)
    Q_PROPERTY(tandrel::Uuid activePresetID READ activePresetID WRITE setActivePresetID NOTIFY
                   activePresetIDChanged)
    Q_PROPERTY(std::optional<tandrel::Uuid> selectedElementID READ selectedElementID WRITE
                   setSelectedElementID NOTIFY selectedElementIDChanged)
    Q_PROPERTY(std::set<tandrel::Uuid> selectedElementIDs READ selectedElementIDs WRITE
                   setSelectedElementIDs NOTIFY selectedElementIDsChanged)
    Q_PROPERTY(tandrel::PluginUpdateState pluginUpdateState READ pluginUpdateState NOTIFY
                   pluginUpdateStateChanged)
    Q_PROPERTY(std::optional<std::filesystem::path> pendingXMLDropURL READ pendingXMLDropURL WRITE
                   setPendingXMLDropURL NOTIFY pendingXMLDropURLChanged)

public:
    // The plug-in version check: reads the installed plug-in's version, installs the one that
    // matches the host when needed, and reports how it goes through `setState` (on the main
    // thread; calls after the state object is gone are dropped).
    using PluginUpdateCheck = std::function<void(std::function<void(PluginUpdateState)> setState)>;

    // What the state object runs on; tests replace any of it.
    struct Services {
        // The host's user defaults.
        std::shared_ptr<platform::KeyValueStore> userDefaults;
        std::shared_ptr<const platform::Clock> clock;
        platform::TimerFactory timers;
        platform::FileSystemEventStream::Factory fileSystemEvents;
        // The library scan; one that fails with LibraryScanner::UnsettledLibrary read the
        // library in the middle of a save.
        std::function<FCPLibrary(const std::filesystem::path &libraryURL)> scanLibrary;
        // Bookmarks of the watched libraries, and access to them.
        std::shared_ptr<platform::SecurityScopedBookmarks> bookmarks =
            platform::SecurityScopedBookmarks::system();
        // Asks the running editor which libraries it has open.
        std::shared_ptr<platform::EditorAutomation> editorAutomation =
            platform::EditorAutomation::system();
        // The resource folder whose preset files overlay the built-in presets.
        std::filesystem::path bundledPresetsFolder = BundledPresets::resourceFolder();
        // Where elements are copied to and pasted from. In memory, for a host without a
        // display; a host with windows sets the desktop's clipboard
        // (platform::ClipboardPasteboard).
        std::shared_ptr<platform::Pasteboard> pasteboard =
            std::make_shared<platform::MemoryPasteboard>();
        // The snapshot file: replaced whole (failing with a readable error), and removed.
        std::function<void(const TandrelSnapshot &)> writeSnapshot;
        std::function<void()> clearSnapshot;
        // Tells the editor panel the presets and the active one; nothing when absent.
        std::function<void(const std::vector<ExtensionBridge::PresetSummary> &,
                           const Uuid &activePresetID)>
            publishPresets;
        // Absent: the plug-in counts as up to date.
        PluginUpdateCheck checkPluginUpdate;
        // The FCPXML reader and validator; without them validation fails with a message.
        std::shared_ptr<const ValidationServices> validation;
        // The editor panel's notifications: runs the callback, on a thread of its own, at every
        // posting; nothing is observed when absent.
        std::function<void(ExtensionBridge::DarwinNotification, std::function<void()>)>
            observeExtension = {};

        // The host's own: the standard user defaults, the system clock, event-loop timers,
        // inotify, the library scanner, the system's bookmarks and editor automation, the
        // installed preset files, a pasteboard in memory, the snapshot file under Application
        // Support, the bridge to the editor panel, and core's FCPXML reader and validator.
        static Services standard();
    };

    // Keys of the host's user defaults.
    static constexpr const char *presetsKey = "Tandrel.Presets";
    static constexpr const char *activePresetIDKey = "Tandrel.ActivePresetID";
    static constexpr const char *projectStartTimecodeKey = "Tandrel.ProjectStartTimecode";
    // A dictionary: library path → bookmark bytes.
    static constexpr const char *watchedLibraryBookmarksKey = "Tandrel.WatchedLibraryBookmarks";
    // The served timeline, so that a restart serves it again: a dictionary of the path of its
    // library ("library") and its id ("timelineID"). Absent, or of any other shape, in the
    // settings of earlier versions: nothing is restored then.
    static constexpr const char *activeTimelineKey = "Tandrel.ActiveTimeline";
    // Stored presets that could not be read at start, kept before the key above is rewritten.
    static constexpr const char *unreadablePresetsKey = "Tandrel.UnreadablePresets";

    // The status line while a setting could not be stored.
    static constexpr const char *settingsNotStoredStatus =
        "Settings could not be saved: changes last until the host quits";

    // The pasteboard type of one element, as the element's JSON.
    static constexpr const char *elementPasteboardType = "com.ostrevale.tandrel.burninelement";

    // Starts nothing: no watcher, no file access, no task.
    explicit AppState(Services services = Services::standard(), QObject *parent = nullptr);
    ~AppState() override;

    // Published fields.
    const std::vector<WatchedLibrary> &watchedLibraries() const { return watchedLibraries_; }
    const std::vector<TimelineChoice> &availableTimelines() const { return availableTimelines_; }
    const std::optional<std::string> &activeTimelineID() const { return activeTimelineID_; }
    const std::optional<Size> &activeTimelineResolution() const {
        return activeTimelineResolution_;
    }
    // Whether the snapshot file on disk belongs to the active timeline.
    bool snapshotWritten() const { return snapshotWritten_; }
    const std::string &statusMessage() const { return statusMessage_; }
    const std::optional<platform::Clock::WallTime> &lastSnapshotTime() const {
        return lastSnapshotTime_;
    }
    bool isRefreshing() const { return isRefreshing_; }
    const std::optional<std::string> &lastLibraryDetectionError() const {
        return lastLibraryDetectionError_;
    }
    bool lastLibraryDetectionNeedsAutomationPermission() const {
        return lastLibraryDetectionNeedsAutomationPermission_;
    }
    const std::string &projectStartTimecode() const { return projectStartTimecode_; }
    const std::optional<std::string> &detectedProjectStartTimecode() const {
        return detectedProjectStartTimecode_;
    }
    const std::vector<DisplayConfig> &presets() const { return presets_; }
    const Uuid &activePresetID() const { return activePresetID_; }
    const std::optional<Uuid> &selectedElementID() const { return selectedElementID_; }
    const std::set<Uuid> &selectedElementIDs() const { return selectedElementIDs_; }
    const PluginUpdateState &pluginUpdateState() const { return pluginUpdateState_; }
    const std::optional<std::filesystem::path> &pendingXMLDropURL() const {
        return pendingXMLDropURL_;
    }

    // Fields the views assign. The first three run their change rules: when the value differs,
    // presets and the active preset are stored, then the snapshot is rewritten, then they are
    // published to the editor panel; the project start timecode is stored, then the snapshot
    // is rewritten. An equal value does nothing. The presets assigned by a view that answers
    // their change signal join that change (see setPresets(presets, activePresetID)).
    void setPresets(std::vector<DisplayConfig> presets);
    void setActivePresetID(const Uuid &id);
    void setProjectStartTimecode(std::string timecode);
    void setSelectedElementID(std::optional<Uuid> id);
    void setSelectedElementIDs(std::set<Uuid> ids);
    void setPendingXMLDropURL(std::optional<std::filesystem::path> url);
    // Changes the active preset in a copy of the list and assigns the whole list back once, so
    // the change rules run once per edit; false, and `change` is not called, when no preset
    // is active.
    bool updateActivePreset(const std::function<void(DisplayConfig &)> &change);

    // Derived values.
    // The index of the first preset with the active id.
    std::optional<size_t> activePresetIndex() const;
    // The project start timecode when it is not empty (blanks count), else the detected one,
    // else "".
    std::string effectiveProjectStartTimecode() const;
    // The name of the first available timeline with the active id.
    std::optional<std::string> activeTimelineName() const;

    // Stored services.
    QueryResolver &queryResolver() const { return *queryResolver_; }
    // Shared with validations that run off the main thread.
    std::shared_ptr<QueryResolver> sharedQueryResolver() const { return queryResolver_; }
    // Null until start.
    LibraryWatcher *libraryWatcher() const { return libraryWatcher_.get(); }
    bool hasStarted() const { return hasStarted_; }

    // The one-time start: watcher, presets, project start timecode, watched libraries, status
    // line, editor panel, then the plug-in check in a task of its own. Later calls do nothing.
    void start();

    // The active timeline, the snapshot and the status line.
    // The user's choice (a click, or the editor panel's sequence): makes the timeline active
    // (also an id no library offers), reads its frame size and start timecode, and rewrites
    // the snapshot. The choice is kept, and stored for the next run, until another is made or
    // its library is removed; while its timeline is away it is served again once it is back.
    // None chooses nothing.
    void setActiveTimeline(const std::optional<std::string> &timelineID);
    // Rebuilds the query resolver from the watched libraries and the timeline list from it;
    // keeps the active timeline while some library offers it or while its library has not
    // been read yet, serves the chosen timeline again when it is offered again, serves a lone
    // timeline by itself once every library has been read and nothing is chosen, and rewrites
    // the snapshot.
    void refreshResolvers();
    // Writes the active timeline's snapshot with the active preset, or removes the file when
    // there is nothing to serve. A failed write shows on the status line. A snapshot equal to
    // the one the file holds (its date aside) is not written again, and a timeline whose
    // database is in the middle of a save keeps the snapshot it has until the save is over.
    void writeActiveSnapshot();
    void updateStatus();

    // Watched libraries. Every load is a task of the main queue that finds its library by URL
    // when it runs, and does nothing when the library is gone by then. A load that finds the
    // library in the middle of a save takes nothing from it when it was read before (what it
    // had and what is served from it stay), and reads it again once the save is over. So does
    // a load that finds the library without a database it had, or without the chosen
    // timeline: such a loss is taken only when a second read after the writes have been quiet
    // long enough finds it too (see LibraryReadRule).
    // Watches, bookmarks and loads a ".fcpbundle" folder not watched yet; anything else is
    // ignored.
    void addLibrary(const std::filesystem::path &url);
    // Stops watching the library, drops its bookmark, ends the access its restore started,
    // and rebuilds the timeline list.
    void removeLibrary(size_t index);
    // Loads every watched library again, one task each; `isRefreshing` until the last is done.
    void refreshNow();
    // A change on disk: the library, when still watched, is loaded again.
    void handleLibraryChange(const std::filesystem::path &url);
    // Stores a bookmark of the library under its path; nothing when none can be made.
    void saveBookmark(const std::filesystem::path &url);
    // Drops the bookmark stored under the library's path and any other that leads to it;
    // bookmarks that lead nowhere now (a drive not mounted) are kept.
    void removeBookmark(const std::filesystem::path &url);

    // The libraries the running editor has open, in its order. Sets the two detection fields:
    // cleared first, then the reason when none could be asked for.
    std::vector<std::filesystem::path> detectOpenFCPLibraries();

    // Presets.
    // The built-in presets: "Netflix QC Layout", "Conform" and "Colorist".
    static const std::vector<DisplayConfig> &bundledPresets() { return BundledPresets::table(); }
    // The built-in presets overlaid by the preset files of the resource folder; read afresh on
    // each call.
    std::vector<DisplayConfig> factoryPresets() const;
    // The preset as a file: pretty-printed JSON, keys sorted; nothing when it cannot be
    // encoded.
    static std::optional<std::string> exportPresetData(const DisplayConfig &preset);
    // Adds the preset of a file as a new user preset (a new id, " (Imported)" after a name
    // taken already) and makes it active; false, changing nothing, when the bytes are not a
    // preset.
    bool importPreset(std::string_view data);
    // Assigns the preset list and the active id as one change: both are in place before
    // either change signal, and what changed is stored, the snapshot rewritten and the presets
    // published once, for the end state. So a preset list that loses its active preset never
    // reaches the plug-in without the preset that takes its place.
    // A view that answers the change signals may correct what it was handed (the position
    // preview pulls a chip that grew past the frame back inside) by assigning again: while the
    // signals of a change are being delivered, an assignment joins that change. It takes effect
    // at once, the signals are delivered again for the corrected state (until nobody corrects
    // it any more, or for a few rounds at most), and the rules above then run once, for the end
    // state.
    void setPresets(std::vector<DisplayConfig> presets, const Uuid &activePresetID);

    // Element editing: always on the active preset; without one, nothing happens.
    // A plain selection makes the element the only one selected, or deselects it when it
    // already is; an extending one adds it as the primary, or takes it out.
    void selectElement(const Uuid &id, bool extend);
    void removeElement(const Uuid &id);
    void deleteSelectedElements();
    // Replaces the pasteboard's contents with the element (its JSON, under
    // `elementPasteboardType`); nothing when it cannot be encoded.
    void copyElementToPasteboard(const BurnInElement &element);
    // Appends the pasteboard's element with a new id and selects it alone; false when there
    // is no active preset or no element on the pasteboard.
    bool pasteElementFromPasteboard();
    // Whether the pasteboard holds data of `elementPasteboardType` now (it may still not
    // decode as an element).
    bool pasteboardHasElement() const;

    // The editor panel.
    // Applies the selection the panel published last: its preset when the host has it and the
    // selection is new since the last application (so a preset chosen in the host since then
    // stays); then its sequence: the first available timeline of that name (spaces and tabs at
    // either end and case aside) becomes active, or, with no such timeline, the libraries the
    // editor has open are added; a selection without a sequence clears the active timeline.
    // Run at start, at each of the panel's notifications and after every library load.
    void applyExtensionSelection();

    // Validation of the active timeline against the editor's FCPXML export of it.
    class ValidationUIError : public std::runtime_error {
    public:
        enum class Case { noActiveTimeline };

        static ValidationUIError noActiveTimeline();

        Case errorCase() const { return case_; }

    private:
        ValidationUIError(Case c, const char *description)
            : std::runtime_error(description), case_(c) {}

        Case case_;
    };
    // The report, or what the validation failed with: a ValidationUIError, the query
    // resolver's ValidationError or the FCPXML reader's error, each with a readable what().
    using ValidationResult = std::variant<TimelineValidator::ValidationReport, std::exception_ptr>;
    // Compares the active timeline's edit list with the file on a pool thread, so that a large
    // file never holds up the main thread; `done` gets the result from the main event loop
    // unless `context` (the state object when null) is gone by then. Without an active
    // timeline `done` fails at once, before this returns, and the file is not opened. The
    // timeline is the one active now: choosing another meanwhile does not change the report.
    void validateActiveTimeline(const std::filesystem::path &fcpxmlURL, QObject *context,
                                std::function<void(ValidationResult)> done);

signals:
    void watchedLibrariesChanged();
    void availableTimelinesChanged();
    void activeTimelineIDChanged();
    void activeTimelineResolutionChanged();
    void snapshotWrittenChanged();
    void statusMessageChanged();
    void lastSnapshotTimeChanged();
    void isRefreshingChanged();
    void lastLibraryDetectionErrorChanged();
    void lastLibraryDetectionNeedsAutomationPermissionChanged();
    void projectStartTimecodeChanged();
    void detectedProjectStartTimecodeChanged();
    void presetsChanged();
    void activePresetIDChanged();
    void selectedElementIDChanged();
    void selectedElementIDsChanged();
    void pluginUpdateStateChanged();
    void pendingXMLDropURLChanged();

private:
    // Stores `value` and emits `changed` when it differs from the field's value.
    template <typename T> bool publish(T &field, T value, void (AppState::*changed)()) {
        if (field == value) {
            return false;
        }
        field = std::move(value);
        emit(this->*changed)();
        return true;
    }

    // Steps of the start.
    void loadPresets();
    void restoreBookmarkedLibraries();
    void publishPresetsToExtension();
    void observeExtensionSelection();
    void observeExtensionXMLDrops();
    void checkAndUpdatePluginIfNeeded();

    // Stores the preset list, the active preset's id, or both, in one write.
    void savePresets(bool list, bool activeID);
    void saveActivePresetID();
    // Makes the timeline active with the library that offers it.
    void serveTimeline(std::optional<std::string> timelineID);
    // Holds the timeline as the user's choice, with the library that offers it, and stores it.
    void chooseTimeline(const std::optional<std::string> &timelineID);
    // The stored choice; active at once when its library is watched.
    void restoreActiveTimeline();
    // Bookmarks that led nowhere at the start (a drive not mounted yet) are tried again, less
    // and less often, and their libraries restored once they lead somewhere.
    void retryUnresolvedBookmarks();
    // Whether the read of a library is taken, by what it found (see LibraryReadRule).
    void takeRead(const std::filesystem::path &url, std::optional<FCPLibrary> scan,
                  const std::optional<std::string> &failure,
                  const std::vector<std::filesystem::path> &halfSaved);
    // The event databases of a watched library.
    std::vector<std::filesystem::path> databasesOf(const std::filesystem::path &url) const;
    // The watched library that offers the timeline.
    std::optional<std::filesystem::path> libraryOfTimeline(const std::string &timelineID) const;
    // Whether the library has been read whole: not only in the middle of a save, or never.
    bool hasBeenReadWhole(const WatchedLibrary &library) const;
    // Whether the active timeline's library is watched and has not been read whole yet.
    bool activeTimelineAwaitsItsLibrary() const;
    // Stores a setting in the user defaults. One that cannot be stored holds for this run
    // only: the status line says so until a later setting is stored.
    void storeSetting(const QString &key, const QVariant &value);
    // Stores several settings as one change: one write of the user defaults; within a
    // SettingsChange, when it ends.
    void storeSettings(const std::vector<std::pair<QString, QVariant>> &values);
    // What one action stores, stored in one write when the action ends (removing a library
    // forgets its bookmark and the choice that was in it).
    class SettingsChange {
    public:
        explicit SettingsChange(AppState &state);
        ~SettingsChange();
        SettingsChange(const SettingsChange &) = delete;
        SettingsChange &operator=(const SettingsChange &) = delete;

    private:
        AppState &state_;
        bool outermost_;
    };
    // Scans the watched library with this URL, when there is one.
    void loadLibrary(const std::filesystem::path &url);
    // Loads the first library, then hands the rest to the next task.
    void refreshLibraries(std::vector<std::filesystem::path> urls);
    // Adds every library the editor has open that is not watched yet.
    void autoDetectLibrary();
    // The newest visible entry of the panel's drop folder, by modification date.
    std::optional<std::filesystem::path> newestGroundTruthDrop() const;
    std::optional<size_t> libraryIndex(const std::filesystem::path &url) const;
    // Whether `addLibrary` would add the folder.
    bool acceptsLibrary(const std::filesystem::path &url) const;
    // Assigns the active preset's elements back into the preset list.
    void setActivePresetElements(std::vector<BurnInElement> elements);
    // After `id` left the selection: the primary, when it was `id`, becomes another member.
    void replacePrimarySelection(const Uuid &id);

    Services services_;

    std::vector<WatchedLibrary> watchedLibraries_;
    std::vector<TimelineChoice> availableTimelines_;
    std::optional<std::string> activeTimelineID_;
    // The library of the active timeline, when known.
    std::optional<std::filesystem::path> activeTimelineLibrary_;
    std::optional<Size> activeTimelineResolution_;
    bool snapshotWritten_ = false;
    std::string statusMessage_ = "No libraries loaded";
    bool settingsUnstored_ = false;
    // The settings an action in progress stores (SettingsChange), in the order first stored.
    std::optional<std::vector<std::pair<QString, QVariant>>> settingsInChange_;
    // The timeline whose snapshot the file holds; nothing when unknown (before the first write
    // of this run) or when there is no file.
    std::optional<std::string> servedTimelineID_;
    // What the file holds when this run wrote it last; nothing when unknown or removed. The
    // host is the file's only writer.
    std::optional<TandrelSnapshot> writtenSnapshot_;
    // Snapshots written by this run.
    int snapshotWrites_ = 0;
    std::optional<platform::Clock::WallTime> lastSnapshotTime_;
    bool isRefreshing_ = false;
    std::optional<std::string> lastLibraryDetectionError_;
    bool lastLibraryDetectionNeedsAutomationPermission_ = false;
    std::string projectStartTimecode_;
    std::optional<std::string> detectedProjectStartTimecode_;
    std::vector<DisplayConfig> presets_;
    Uuid activePresetID_;
    // While the signals of a preset change are being delivered: what a view's assignment
    // changed, so that the signals go out again.
    struct PresetChangeInDelivery {
        bool listAmended = false;
        bool activeAmended = false;
        bool lastRound = false;
    };
    PresetChangeInDelivery *presetChangeInDelivery_ = nullptr;
    std::optional<Uuid> selectedElementID_;
    std::set<Uuid> selectedElementIDs_;
    std::unique_ptr<LibraryWatcher> libraryWatcher_;
    const std::shared_ptr<QueryResolver> queryResolver_;
    bool hasStarted_ = false;
    PluginUpdateState pluginUpdateState_ = PluginUpdateState::upToDate();
    std::optional<std::filesystem::path> pendingXMLDropURL_;
    // When the panel made the selection last applied; a re-application of that same
    // selection leaves the preset to the host.
    std::optional<double> appliedSelectionUpdatedAt_;
    // The user's choice, kept while its timeline is away; its library when known.
    struct Choice {
        std::string timelineID;
        std::optional<std::filesystem::path> library;
    };
    std::optional<Choice> choice_;
    // Libraries whose last read taken was not the whole of them (in the middle of a save, or
    // with a loss not believed yet).
    std::set<std::filesystem::path> notReadWhole_;
    // Libraries whose last read found a loss that was not believed.
    std::set<std::filesystem::path> doubtedReads_;
    // Bookmarks that led nowhere, by the path they are stored under, and the retry's timer.
    std::vector<QString> unresolvedBookmarks_;
    std::unique_ptr<platform::Timer> bookmarkRetry_;
    std::chrono::nanoseconds bookmarkRetryInterval_{0};
    // Scans started per library, so that only the newest scan's result is taken.
    std::map<std::filesystem::path, int> scanGeneration_;
    // Access started per library by restoring its bookmark and not yet ended.
    std::map<std::filesystem::path, int> securityScopedLibraryURLs_;
};

} // namespace tandrel
