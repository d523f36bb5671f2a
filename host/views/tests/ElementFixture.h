#pragma once

// What the tests of the element list, the element editor and its sections share: the state
// object on the stand-ins of its own tests, with a user preset of the test's elements active,
// and a count of the writes of the preset list.

#include "host/state/tests/StateFixture.h"
#include "host/views/BulkStyle.h"
#include "platform/runtime/MainQueue.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <vector>

namespace tandrel::testing {

class ElementTest : public StateTest {
protected:
    void TearDown() override {
        platform::MainQueue::runPending();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A user preset of `elements`, made active; the writes of the preset list are counted from
    // here on.
    const DisplayConfig &usePreset(std::vector<BurnInElement> elements) {
        if (!counting_) {
            QObject::connect(&state(), &AppState::presetsChanged, [this] { ++presetWrites; });
            counting_ = true;
        }
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

    BulkStyleValues bulk;
    int presetWrites = 0;

private:
    bool counting_ = false;
};

} // namespace tandrel::testing
