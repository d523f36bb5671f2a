// The active timeline, the snapshot and the status line.

#include "host/state/AppState.h"

#include <chrono>

namespace tandrel {

void AppState::setActiveTimeline(const std::optional<std::string> &timelineID) {
    publish(activeTimelineID_, timelineID, &AppState::activeTimelineIDChanged);
    publish(activeTimelineResolution_,
            timelineID ? queryResolver_->timelineResolution(*timelineID) : std::nullopt,
            &AppState::activeTimelineResolutionChanged);
    publish(detectedProjectStartTimecode_,
            timelineID ? queryResolver_->detectedStartTimecode(*timelineID) : std::nullopt,
            &AppState::detectedProjectStartTimecodeChanged);
    writeActiveSnapshot();
}

void AppState::refreshResolvers() {
    queryResolver_->reload(watchedLibraries_);
    publish(availableTimelines_, queryResolver_->availableTimelines(),
            &AppState::availableTimelinesChanged);
    const auto offered = [this](const std::string &id) {
        for (const TimelineChoice &timeline : availableTimelines_) {
            if (timeline.id == id) {
                return true;
            }
        }
        return false;
    };
    if (activeTimelineID_ && !offered(*activeTimelineID_)) {
        publish(activeTimelineID_, std::optional<std::string>(),
                &AppState::activeTimelineIDChanged);
    }
    // A lone timeline is served without being picked.
    if (!activeTimelineID_ && availableTimelines_.size() == 1) {
        publish(activeTimelineID_, std::optional(availableTimelines_.front().id),
                &AppState::activeTimelineIDChanged);
    }
    publish(activeTimelineResolution_,
            activeTimelineID_ ? queryResolver_->timelineResolution(*activeTimelineID_)
                              : std::nullopt,
            &AppState::activeTimelineResolutionChanged);
    publish(detectedProjectStartTimecode_,
            activeTimelineID_ ? queryResolver_->detectedStartTimecode(*activeTimelineID_)
                              : std::nullopt,
            &AppState::detectedProjectStartTimecodeChanged);
    writeActiveSnapshot();
}

void AppState::writeActiveSnapshot() {
    const std::optional<size_t> active = activePresetIndex();
    std::optional<TandrelSnapshot> snapshot;
    if (activeTimelineID_) {
        TandrelSnapshot document;
        document.updatedAt =
            std::chrono::duration<double>(services_.clock->now().time_since_epoch()).count();
        document.timelineStartTimecode = effectiveProjectStartTimecode();
        document.displayConfig = active ? presets_[*active] : DisplayConfig();
        snapshot = queryResolver_->completeSnapshot(*activeTimelineID_, std::move(document));
    }
    if (!snapshot) {
        // Nothing to serve: no timeline, or one whose edit list is gone.
        services_.clearSnapshot();
        servedTimelineID_.reset();
        publish(snapshotWritten_, false, &AppState::snapshotWrittenChanged);
        updateStatus();
        return;
    }
    try {
        services_.writeSnapshot(*snapshot);
    } catch (const std::exception &error) {
        // The file left in place may be of another timeline, whose clips the plug-in would
        // then draw over this one: only the active timeline's own earlier snapshot stays.
        if (servedTimelineID_ != activeTimelineID_) {
            services_.clearSnapshot();
            servedTimelineID_.reset();
        }
        // Stays until the next status update.
        publish(snapshotWritten_, false, &AppState::snapshotWrittenChanged);
        publish(statusMessage_, "Snapshot write failed: " + std::string(error.what()),
                &AppState::statusMessageChanged);
        return;
    }
    servedTimelineID_ = activeTimelineID_;
    publish(snapshotWritten_, true, &AppState::snapshotWrittenChanged);
    publish(lastSnapshotTime_, std::optional(services_.clock->now()),
            &AppState::lastSnapshotTimeChanged);
    updateStatus();
}

void AppState::updateStatus() {
    size_t loaded = 0;
    for (const WatchedLibrary &library : watchedLibraries_) {
        loaded += library.isLoaded ? 1 : 0;
    }
    const size_t timelines = availableTimelines_.size();
    const std::optional<std::string> name = activeTimelineName();
    std::string status;
    if (settingsUnstored_) {
        status = settingsNotStoredStatus;
    } else if (loaded == 0) {
        status = "No libraries loaded";
    } else if (name && snapshotWritten_) {
        status = "Serving '" + *name + "' (" + std::to_string(timelines) + " timelines)";
    } else if (timelines > 0) {
        status = "Select a timeline to start burn-in (" + std::to_string(timelines) + " available)";
    } else {
        status = "Watching " + std::to_string(loaded) + (loaded == 1 ? " library" : " libraries") +
                 " \u2014 no timelines found";
    }
    publish(statusMessage_, std::move(status), &AppState::statusMessageChanged);
}

void AppState::storeSetting(const QString &key, const QVariant &value) {
    const bool failed = !services_.userDefaults->setValue(key, value);
    if (failed != settingsUnstored_) {
        settingsUnstored_ = failed;
        updateStatus();
    }
}

} // namespace tandrel
