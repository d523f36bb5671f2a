#pragma once

// The host's validation road for the validation views' tests and screens, over a real state
// object: the host's FCPXML reader and validator behind the query resolver, and run functions
// that check the state object's active timeline as the host does (the no-timeline failure
// first, then the query resolver's check), answered at once.

#include "core/database/LibraryScanner.h"
#include "host/query/ValidationServices.h"
#include "host/state/AppState.h"
#include "host/views/validation/ValidationRunController.h"
#include "platform/runtime/KeyValueStore.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tandrel::testing {

// A state object's services that keep everything in memory and write no snapshot, with
// core's validation.
inline AppState::Services stateServices() {
    auto clock = std::make_shared<platform::ManualClock>();
    return {
        .userDefaults = std::make_shared<platform::MemoryKeyValueStore>(),
        .clock = clock,
        .timers = clock->timers(),
        .fileSystemEvents = nullptr,
        .scanLibrary = &LibraryScanner::scan,
        .writeSnapshot = [](const TandrelSnapshot &) {},
        .clearSnapshot = [] {},
        .publishPresets = nullptr,
        .checkPluginUpdate = nullptr,
        .validation = ValidationServices::standard(),
    };
}

// The id of the first timeline of that name the state object offers.
inline std::optional<std::string> timelineNamed(const AppState &state, const std::string &name) {
    for (const TimelineChoice &timeline : state.availableTimelines()) {
        if (timeline.name == name) {
            return timeline.id;
        }
    }
    return std::nullopt;
}

inline constexpr const char *noActiveTimeline =
    "Select a timeline first, then load the FCPXML you exported for it.";

// The check of a timeline (none: no timeline selected) against a file, on the calling thread.
inline ValidationRuns::Outcome validate(const std::optional<std::string> &timelineID,
                                        QueryResolver &resolver,
                                        const std::filesystem::path &fcpxml) {
    if (!timelineID) {
        return ValidationRuns::Failure{noActiveTimeline};
    }
    try {
        return resolver.validateAgainstFCPXML(*timelineID, fcpxml);
    } catch (const std::exception &error) {
        return ValidationRuns::Failure{error.what()};
    }
}

// Checks the state object's active timeline and answers before it returns.
inline ValidationRunController::RunFunction validatingAtOnce(AppState &state) {
    return [&state](const std::filesystem::path &fcpxml, ValidationRunController::Completion done) {
        done(validate(state.activeTimelineID(), state.queryResolver(), fcpxml));
    };
}

} // namespace tandrel::testing
