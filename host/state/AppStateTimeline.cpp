// The active timeline, the snapshot and the status line.

#include "host/state/AppState.h"

#include "core/support/Log.h"
#include "core/support/UnicodeText.h"

#include <QVariantMap>

#include <algorithm>
#include <chrono>

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "snapshot");
}

// Two snapshots that differ at most in their date. Compared in place: a copy of thousands of
// entries costs more than the comparison.
bool sameContent(const TandrelSnapshot &a, TandrelSnapshot &b) {
    const double date = b.updatedAt;
    b.updatedAt = a.updatedAt;
    const bool same = a == b;
    b.updatedAt = date;
    return same;
}

} // namespace

std::optional<std::filesystem::path>
AppState::libraryOfTimeline(const std::string &timelineID) const {
    for (const WatchedLibrary &library : watchedLibraries_) {
        for (const WatchedEvent &event : library.events) {
            for (const FCPTimelineInfo &timeline : event.timelines) {
                if (timeline.id == timelineID) {
                    return library.url;
                }
            }
        }
    }
    return std::nullopt;
}

void AppState::serveTimeline(std::optional<std::string> timelineID) {
    activeTimelineLibrary_ = timelineID ? libraryOfTimeline(*timelineID) : std::nullopt;
    if (!activeTimelineLibrary_ && timelineID && choice_ && choice_->timelineID == *timelineID) {
        activeTimelineLibrary_ = choice_->library;
    }
    publish(activeTimelineID_, std::move(timelineID), &AppState::activeTimelineIDChanged);
}

void AppState::chooseTimeline(const std::optional<std::string> &timelineID) {
    std::optional<Choice> choice;
    if (timelineID) {
        choice = Choice{*timelineID, libraryOfTimeline(*timelineID)};
    }
    const bool same =
        (!choice && !choice_) || (choice && choice_ && choice->timelineID == choice_->timelineID &&
                                  choice->library == choice_->library);
    choice_ = std::move(choice);
    if (same) {
        return;
    }
    QVariantMap stored;
    if (choice_ && choice_->library) {
        stored.insert(QStringLiteral("library"),
                      QString::fromStdString(choice_->library->string()));
        stored.insert(QStringLiteral("timelineID"), QString::fromStdString(choice_->timelineID));
    }
    storeSetting(activeTimelineKey, stored);
}

void AppState::restoreActiveTimeline() {
    const QVariantMap stored =
        services_.userDefaults->dictionary(activeTimelineKey).value_or(QVariantMap());
    const QVariant library = stored.value(QStringLiteral("library"));
    const QVariant timelineID = stored.value(QStringLiteral("timelineID"));
    if (library.typeId() != QMetaType::QString || timelineID.typeId() != QMetaType::QString) {
        return;
    }
    const std::filesystem::path url = WatchedLibrary::folderOf(library.toString().toStdString());
    // Held also while its library is not there (a drive mounted later): no lone timeline of
    // another library takes its place meanwhile.
    choice_ = Choice{timelineID.toString().toStdString(), url};
    if (libraryIndex(url)) {
        activeTimelineLibrary_ = url;
        publish(activeTimelineID_, std::optional(choice_->timelineID),
                &AppState::activeTimelineIDChanged);
    }
}

bool AppState::hasBeenReadWhole(const WatchedLibrary &library) const {
    return (library.isLoaded || library.errorMessage) && !notReadWhole_.contains(library.url);
}

bool AppState::activeTimelineAwaitsItsLibrary() const {
    if (!activeTimelineLibrary_) {
        return false;
    }
    const std::optional<size_t> at = libraryIndex(*activeTimelineLibrary_);
    return at && !hasBeenReadWhole(watchedLibraries_[*at]);
}

void AppState::setActiveTimeline(const std::optional<std::string> &timelineID) {
    chooseTimeline(timelineID);
    serveTimeline(timelineID);
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
    // A timeline restored from the last run waits for its library to be read. One that is
    // gone stops being served; the choice stays.
    if (activeTimelineID_ && !offered(*activeTimelineID_) && !activeTimelineAwaitsItsLibrary()) {
        serveTimeline(std::nullopt);
    }
    // Nobody chose anything else meanwhile: the choice is served again once it is back.
    if (!activeTimelineID_ && choice_ && offered(choice_->timelineID)) {
        serveTimeline(choice_->timelineID);
    }
    // A lone timeline is served without being picked, but only when nothing is chosen and once
    // every library has been read: libraries load one by one, and the first one read may be
    // alone only for now. It is no choice: it is not stored, and gives way to one.
    const bool everyLibraryRead =
        std::all_of(watchedLibraries_.begin(), watchedLibraries_.end(),
                    [this](const WatchedLibrary &library) { return hasBeenReadWhole(library); });
    if (!activeTimelineID_ && !choice_ && availableTimelines_.size() == 1 && everyLibraryRead) {
        serveTimeline(availableTimelines_.front().id);
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
    // The snapshot is out: what the reload replaced can be taken apart now.
    queryResolver_->releaseReplacedReaders();
}

void AppState::writeActiveSnapshot() {
    const std::optional<size_t> active = activePresetIndex();
    std::optional<TandrelSnapshot> snapshot;
    std::string midSave;
    if (activeTimelineID_) {
        TandrelSnapshot document;
        document.updatedAt =
            std::chrono::duration<double>(services_.clock->now().time_since_epoch()).count();
        document.timelineStartTimecode = effectiveProjectStartTimecode();
        document.displayConfig = active ? presets_[*active] : DisplayConfig();
        snapshot =
            queryResolver_->completeSnapshot(*activeTimelineID_, std::move(document), &midSave);
    }
    if (!midSave.empty()) {
        // A database caught in the middle of a save cannot say what the timeline holds now,
        // nor whether it is gone: it is read again once the save is over, and meanwhile the
        // file keeps the timeline's last snapshot.
        log()->info("Snapshot of {} not rewritten: {}", *activeTimelineID_, midSave);
        if (libraryWatcher_ && activeTimelineLibrary_) {
            libraryWatcher_->reportWhenSettled(*activeTimelineLibrary_,
                                               databasesOf(*activeTimelineLibrary_));
        }
        if (servedTimelineID_ == activeTimelineID_) {
            updateStatus();
            return;
        }
    }
    if (!snapshot) {
        // Nothing to serve: no timeline, or one whose edit list is gone.
        services_.clearSnapshot();
        servedTimelineID_.reset();
        writtenSnapshot_.reset();
        publish(snapshotWritten_, false, &AppState::snapshotWrittenChanged);
        updateStatus();
        return;
    }
    // The plug-in reads every new version of the file: one that says nothing new costs it a
    // reload for nothing.
    if (servedTimelineID_ == activeTimelineID_ && writtenSnapshot_ &&
        sameContent(*writtenSnapshot_, *snapshot)) {
        publish(snapshotWritten_, true, &AppState::snapshotWrittenChanged);
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
            writtenSnapshot_.reset();
        }
        // Stays until the next status update.
        publish(snapshotWritten_, false, &AppState::snapshotWrittenChanged);
        // The description names a path, which may hold anything.
        publish(statusMessage_,
                std::string("Snapshot write failed: ").append(shownMessage(error.what())),
                &AppState::statusMessageChanged);
        return;
    }
    servedTimelineID_ = activeTimelineID_;
    writtenSnapshot_ = std::move(*snapshot);
    ++snapshotWrites_;
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
        // The name on the status line's one line, bounded, its controls shown and its
        // right-to-left letters kept from reordering the count after it.
        status = std::string("Serving '")
                     .append(shownName(*name, shownNameCharacters))
                     .append("' (")
                     .append(std::to_string(timelines))
                     .append(" timelines)");
    } else if (timelines > 0) {
        status = "Select a timeline to start burn-in (" + std::to_string(timelines) + " available)";
    } else {
        status = "Watching " + std::to_string(loaded) + (loaded == 1 ? " library" : " libraries") +
                 " \u2014 no timelines found";
    }
    publish(statusMessage_, std::move(status), &AppState::statusMessageChanged);
}

void AppState::storeSetting(const QString &key, const QVariant &value) {
    storeSettings({{key, value}});
}

AppState::SettingsChange::SettingsChange(AppState &state)
    : state_(state), outermost_(!state.settingsInChange_) {
    if (outermost_) {
        state_.settingsInChange_.emplace();
    }
}

AppState::SettingsChange::~SettingsChange() {
    if (!outermost_) {
        return;
    }
    const std::vector<std::pair<QString, QVariant>> values =
        std::exchange(state_.settingsInChange_, std::nullopt).value();
    if (!values.empty()) {
        state_.storeSettings(values);
    }
}

void AppState::storeSettings(const std::vector<std::pair<QString, QVariant>> &values) {
    if (settingsInChange_) {
        for (const auto &[key, value] : values) {
            const auto same = std::ranges::find_if(
                *settingsInChange_, [&key](const auto &stored) { return stored.first == key; });
            if (same != settingsInChange_->end()) {
                same->second = value;
            } else {
                settingsInChange_->emplace_back(key, value);
            }
        }
        return;
    }
    const bool failed = values.size() == 1
                            ? !services_.userDefaults->setValue(values[0].first, values[0].second)
                            : !services_.userDefaults->setValues(values);
    if (failed != settingsUnstored_) {
        settingsUnstored_ = failed;
        updateStatus();
    }
}

} // namespace tandrel
