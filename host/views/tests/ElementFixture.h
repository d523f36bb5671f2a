#pragma once

// What the tests of the element list, the element editor and its sections share: a state
// object on stand-ins (user defaults and pasteboard in memory, a hand-moved clock, snapshot
// writes only counted) with a user preset of the test's elements active, and a count of the
// writes of the preset list.

#include "host/state/AppState.h"
#include "host/views/BulkStyle.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tandrel::testing {

class ElementTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::MainQueue::runPending();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    AppState::Services fakeServices() {
        return {
            .userDefaults = defaults,
            .clock = clock,
            .timers = clock->timers(),
            .fileSystemEvents = nullptr,
            .scanLibrary = nullptr,
            .pasteboard = pasteboard,
            .writeSnapshot = [this](const TandrelSnapshot &) { ++snapshotWrites; },
            .clearSnapshot = [] {},
            .publishPresets = nullptr,
            .checkPluginUpdate = nullptr,
            .validation = nullptr,
        };
    }

    AppState &state() {
        if (!state_) {
            state_ = std::make_unique<AppState>(fakeServices());
            QObject::connect(state_.get(), &AppState::presetsChanged, [this] { ++presetWrites; });
        }
        return *state_;
    }

    // A user preset of `elements`, made active; the writes are counted from here on.
    const DisplayConfig &usePreset(std::vector<BurnInElement> elements) {
        DisplayConfig preset(Uuid::random(), "Test", false, std::move(elements));
        state().setPresets({preset});
        state().setActivePresetID(preset.id);
        presetWrites = 0;
        return state().presets().front();
    }

    const std::vector<BurnInElement> &elements() {
        return state().presets()[*state().activePresetIndex()].elements;
    }
    const BurnInElement &element(std::size_t index) { return elements().at(index); }

    std::shared_ptr<platform::MemoryKeyValueStore> defaults =
        std::make_shared<platform::MemoryKeyValueStore>();
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    std::shared_ptr<platform::MemoryPasteboard> pasteboard =
        std::make_shared<platform::MemoryPasteboard>();
    BulkStyleValues bulk;
    int snapshotWrites = 0;
    int presetWrites = 0;
    std::unique_ptr<AppState> state_;
};

} // namespace tandrel::testing
