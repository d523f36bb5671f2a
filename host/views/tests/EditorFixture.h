#pragma once

// The layout editor's tests: the state object on stand-ins (StateFixture), started with the
// built-in presets, and presets of the user's own made to measure. Every change of the preset
// list is counted, so a test sees how many writes an edit made.

#include "core/model/DisplayConfig.h"
#include "core/support/JsonText.h"
#include "host/state/tests/StateFixture.h"

#include <string>
#include <vector>

namespace tandrel::testing {

class EditorTest : public StateTest {
protected:
    void SetUp() override {
        started();
        QObject::connect(&state(), &AppState::presetsChanged, [this] { ++presetWrites; });
    }

    // The stored active preset.
    const DisplayConfig &active() { return state().presets().at(*state().activePresetIndex()); }
    // Makes the first preset of that name active.
    void activate(const std::string &name) {
        for (const DisplayConfig &preset : state().presets()) {
            if (preset.name == name) {
                state().setActivePresetID(preset.id);
                return;
            }
        }
        ADD_FAILURE() << "no preset " << name;
    }
    // Appends a preset of the user's own and makes it active.
    Uuid addUserPreset(const std::string &name, std::vector<BurnInElement> elements) {
        DisplayConfig preset;
        preset.name = name;
        preset.elements = std::move(elements);
        std::vector<DisplayConfig> presets = state().presets();
        presets.push_back(preset);
        state().setPresets(std::move(presets));
        state().setActivePresetID(preset.id);
        return preset.id;
    }
    // The active preset as its file has it.
    Json exportedActive() { return parseJsonText(*AppState::exportPresetData(active())); }
    // Makes the active id name no preset.
    void deactivate() { state().setActivePresetID(Uuid::random()); }

    std::vector<std::string> presetNames() {
        std::vector<std::string> names;
        for (const DisplayConfig &preset : state().presets()) {
            names.push_back(preset.name);
        }
        return names;
    }

    int presetWrites = 0;
};

} // namespace tandrel::testing
