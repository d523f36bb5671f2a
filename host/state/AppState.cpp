#include "host/state/AppState.h"

#include "core/database/LibraryScanner.h"
#include "core/model/BundledPresets.h"
#include "core/snapshot/SnapshotWriter.h"
#include "host/bridge/ExtensionBridge.h"
#include "host/state/TimelineTextOrder.h"
#include "platform/runtime/InotifyEventStream.h"
#include "platform/runtime/MainQueue.h"

#include <QPointer>

namespace tandrel {

namespace {

Uuid firstBuiltInPresetID() {
    const auto &table = BundledPresets::table();
    return table.empty() ? Uuid::random() : table.front().id;
}

} // namespace

AppState::Services AppState::Services::standard() {
    return {
        .userDefaults = platform::SettingsKeyValueStore::standardUserDefaults(),
        .clock = platform::Clock::system(),
        .timers = platform::eventLoopTimers(),
        .fileSystemEvents = platform::InotifyEventStream::factory(),
        .scanLibrary = &LibraryScanner::scanSettled,
        // Each document after the first encodes only the entries that changed.
        .writeSnapshot =
            [encoder = std::make_shared<SnapshotEncoder>()](const TandrelSnapshot &snapshot) {
                SnapshotWriter::writeEncoded(snapshot, *encoder);
            },
        .clearSnapshot = &SnapshotWriter::clear,
        .publishPresets = &ExtensionBridge::publishPresets,
        .checkPluginUpdate = nullptr,
        .validation = ValidationServices::standard(),
        .observeExtension = &ExtensionBridge::observeDarwinNotification,
    };
}

AppState::AppState(Services services, QObject *parent)
    : QObject(parent), services_(std::move(services)), activePresetID_(firstBuiltInPresetID()),
      queryResolver_(std::make_shared<QueryResolver>(timelineTextOrder(), services_.validation)) {}

AppState::~AppState() = default;

void AppState::start() {
    if (hasStarted_) {
        return;
    }
    hasStarted_ = true;
    libraryWatcher_ = std::make_unique<LibraryWatcher>(
        [this](const std::filesystem::path &libraryURL) {
            platform::MainQueue::async(this,
                                       [this, libraryURL] { handleLibraryChange(libraryURL); });
        },
        LibraryWatcher::Environment{services_.clock, services_.timers, services_.fileSystemEvents});
    loadPresets();
    setProjectStartTimecode(
        services_.userDefaults->string(projectStartTimecodeKey).value_or(QString()).toStdString());
    restoreBookmarkedLibraries();
    retryUnresolvedBookmarks();
    restoreActiveTimeline();
    updateStatus();
    publishPresetsToExtension();
    observeExtensionSelection();
    observeExtensionXMLDrops();
    platform::MainQueue::async(this, [this] { checkAndUpdatePluginIfNeeded(); });
}

void AppState::setPresets(std::vector<DisplayConfig> presets) {
    setPresets(std::move(presets), activePresetID_);
}

void AppState::setActivePresetID(const Uuid &id) {
    if (publish(activePresetID_, id, &AppState::activePresetIDChanged)) {
        saveActivePresetID();
        writeActiveSnapshot();
        publishPresetsToExtension();
    }
}

void AppState::setProjectStartTimecode(std::string timecode) {
    if (publish(projectStartTimecode_, std::move(timecode),
                &AppState::projectStartTimecodeChanged)) {
        storeSetting(projectStartTimecodeKey, QString::fromStdString(projectStartTimecode_));
        writeActiveSnapshot();
    }
}

void AppState::setSelectedElementID(std::optional<Uuid> id) {
    publish(selectedElementID_, std::move(id), &AppState::selectedElementIDChanged);
}

void AppState::setSelectedElementIDs(std::set<Uuid> ids) {
    publish(selectedElementIDs_, std::move(ids), &AppState::selectedElementIDsChanged);
}

void AppState::setPendingXMLDropURL(std::optional<std::filesystem::path> url) {
    publish(pendingXMLDropURL_, std::move(url), &AppState::pendingXMLDropURLChanged);
}

std::optional<size_t> AppState::activePresetIndex() const {
    for (size_t i = 0; i < presets_.size(); ++i) {
        if (presets_[i].id == activePresetID_) {
            return i;
        }
    }
    return std::nullopt;
}

std::string AppState::effectiveProjectStartTimecode() const {
    // Not trimmed: a text of blanks counts as set.
    if (!projectStartTimecode_.empty()) {
        return projectStartTimecode_;
    }
    return detectedProjectStartTimecode_.value_or("");
}

std::optional<std::string> AppState::activeTimelineName() const {
    if (!activeTimelineID_) {
        return std::nullopt;
    }
    for (const TimelineChoice &timeline : availableTimelines_) {
        if (timeline.id == *activeTimelineID_) {
            return timeline.name;
        }
    }
    return std::nullopt;
}

void AppState::checkAndUpdatePluginIfNeeded() {
    if (!services_.checkPluginUpdate) {
        return;
    }
    services_.checkPluginUpdate([self = QPointer<AppState>(this)](PluginUpdateState state) {
        if (self) {
            self->publish(self->pluginUpdateState_, std::move(state),
                          &AppState::pluginUpdateStateChanged);
        }
    });
}

} // namespace tandrel
