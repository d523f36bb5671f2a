// The editor panel: the presets published to it, its selection followed, its FCPXML drops taken
// in; and validation of the active timeline against such an export.

#include "host/state/AppState.h"

#include "core/support/Log.h"
#include "core/support/PrivateFolder.h"
#include "core/support/UnicodeText.h"
#include "host/bridge/ExtensionBridge.h"
#include "platform/runtime/MainQueue.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

#include <system_error>

namespace tandrel {

namespace {

// Runs `work` on the state object from the main queue, if it still exists then; the
// notification centre calls from a thread of its own, where the state object is never touched.
template <typename Work> std::function<void()> onMainThread(AppState *state, Work work) {
    return [self = QPointer<AppState>(state), work] {
        // Handed to the application object, which outlives any state object, and looked up
        // on the main thread.
        platform::MainQueue::async(QCoreApplication::instance(), [self, work] {
            if (self) {
                work(*self);
            }
        });
    };
}

} // namespace

void AppState::publishPresetsToExtension() {
    if (!services_.publishPresets) {
        return;
    }
    std::vector<ExtensionBridge::PresetSummary> summaries;
    summaries.reserve(presets_.size());
    for (const DisplayConfig &preset : presets_) {
        summaries.push_back({preset.id, preset.name});
    }
    services_.publishPresets(summaries, activePresetID_);
}

void AppState::observeExtensionSelection() {
    if (services_.observeExtension) {
        services_.observeExtension(
            ExtensionBridge::DarwinNotification::selectionChanged,
            onMainThread(this, [](AppState &state) { state.applyExtensionSelection(); }));
    }
    // A selection published while the host was not running.
    applyExtensionSelection();
}

void AppState::observeExtensionXMLDrops() {
    if (services_.observeExtension) {
        services_.observeExtension(ExtensionBridge::DarwinNotification::xmlDropped,
                                   onMainThread(this, [](AppState &state) {
                                       state.setPendingXMLDropURL(state.newestGroundTruthDrop());
                                   }));
    }
}

void AppState::applyExtensionSelection() {
    const std::optional<ExtensionBridge::ActiveSelection> selection =
        ExtensionBridge::readActiveSelection();
    if (!selection) {
        return;
    }
    // Only a choice the panel made since the last application moves the preset: a library
    // load re-applies the same selection to match its sequence, and the host's own choice
    // made in between must stand.
    const bool isNew = appliedSelectionUpdatedAt_ != selection->updatedAt;
    appliedSelectionUpdatedAt_ = selection->updatedAt;
    if (const auto &presetID = selection->selectedPresetID; presetID && isNew) {
        for (const DisplayConfig &preset : presets_) {
            if (preset.id == *presetID) {
                setActivePresetID(preset.id);
                break;
            }
        }
    }
    if (!selection->sequenceName) {
        if (activeTimelineID_) {
            setActiveTimeline(std::nullopt);
        }
        return;
    }
    // The panel publishes a name as the bridge keeps it: the timelines' names are matched in
    // the same form (as long as they are ordinary, their whole).
    const std::string_view sequence = trimmingHorizontalWhitespace(*selection->sequenceName);
    for (const TimelineChoice &timeline : availableTimelines_) {
        if (equalIgnoringCase(
                trimmingHorizontalWhitespace(ExtensionBridge::keptName(timeline.name)), sequence)) {
            if (activeTimelineID_ != timeline.id) {
                setActiveTimeline(timeline.id);
            }
            return;
        }
    }
    autoDetectLibrary();
}

void AppState::autoDetectLibrary() {
    for (const std::filesystem::path &url : detectOpenFCPLibraries()) {
        if (!libraryIndex(url)) {
            addLibrary(url);
        }
    }
}

std::optional<std::filesystem::path> AppState::newestGroundTruthDrop() const {
    const std::optional<std::filesystem::path> container = ExtensionBridge::containerURL();
    if (!container) {
        return std::nullopt;
    }
    const std::filesystem::path drops = *container / ExtensionBridge::groundTruthDropsFolder;
    // Only a drop folder of the user's own: another user's files are no drops of the panel's.
    try {
        PrivateFolder::open(drops, PrivateFolder::Missing::fail);
    } catch (const NotOursError &refused) {
        logger("com.ostrevale.tandrel.host", "bridge")
            ->error("Dropped FCPXML not looked for: {}", refused.what());
        return std::nullopt;
    } catch (const std::filesystem::filesystem_error &) {
        return std::nullopt;
    }
    std::error_code error;
    std::filesystem::directory_iterator entries(drops, error);
    std::optional<std::filesystem::path> newest;
    auto newestTime = std::filesystem::file_time_type::min();
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::filesystem::path &entry = entries->path();
        // Hidden entries are not drops: a file still being written is one of them.
        if (entry.filename().string().starts_with('.')) {
            continue;
        }
        std::error_code unreadable;
        auto time = entries->last_write_time(unreadable);
        if (unreadable) {
            time = std::filesystem::file_time_type::min();
        }
        if (!newest || time > newestTime) {
            newest = entry;
            newestTime = time;
        }
    }
    return error ? std::nullopt : newest;
}

AppState::ValidationUIError AppState::ValidationUIError::noActiveTimeline() {
    return {Case::noActiveTimeline,
            "Select a timeline first, then load the FCPXML you exported for it."};
}

void AppState::validateActiveTimeline(const std::filesystem::path &fcpxmlURL, QObject *context,
                                      std::function<void(ValidationResult)> done) {
    if (!activeTimelineID_) {
        done(std::make_exception_ptr(ValidationUIError::noActiveTimeline()));
        return;
    }
    QThreadPool::globalInstance()->start(
        [resolver = queryResolver_, timelineID = *activeTimelineID_, fcpxmlURL,
         receiver = QPointer<QObject>(context != nullptr ? context : this),
         done = std::move(done)] {
            ValidationResult result;
            try {
                result = resolver->validateAgainstFCPXML(timelineID, fcpxmlURL);
            } catch (...) {
                result = std::current_exception();
            }
            platform::MainQueue::async(QCoreApplication::instance(),
                                       [receiver, done, result = std::move(result)] {
                                           if (receiver) {
                                               done(result);
                                           }
                                       });
        });
}

} // namespace tandrel
