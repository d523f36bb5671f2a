#pragma once

// What the host views' tests share: text typed as the user types it, user defaults that note
// their writes, and the layout editor's fixtures over the state object on stand-ins
// (StateFixture) with every change of the preset list counted, so that a test sees how many
// writes an edit made.

#include "core/model/DisplayConfig.h"
#include "core/support/JsonText.h"
#include "host/state/tests/StateFixture.h"
#include "host/views/layout/BulkStyle.h"
#include "platform/runtime/KeyValueStore.h"
#include "platform/runtime/MainQueue.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tandrel::testing {

// Text typed into a field, as the user's keystrokes deliver it.
inline void type(QLineEdit *field, const QString &text) {
    field->setText(text);
    emit field->textEdited(text);
}

// Text typed into a field and entered with Return.
inline void enter(QLineEdit *field, const QString &text) {
    type(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// User defaults in memory that note every write: how many per key, and all of them in order.
class CountingDefaults final : public platform::KeyValueStore {
public:
    QVariant value(const QString &key) const override { return values_.value(key); }
    bool setValue(const QString &key, const QVariant &value) override {
        ++saves;
        return note(key, value);
    }
    bool setValues(const std::vector<std::pair<QString, QVariant>> &values) override {
        ++saves;
        bool stored = true;
        for (const auto &[key, value] : values) {
            stored = note(key, value) && stored;
        }
        return stored;
    }
    bool remove(const QString &key) override { return values_.remove(key); }

    std::map<std::string, int> writes;
    std::vector<std::pair<QString, QVariant>> written;
    // How often the store was written: a file would be saved as often.
    int saves = 0;

private:
    bool note(const QString &key, const QVariant &value) {
        ++writes[key.toStdString()];
        written.emplace_back(key, value);
        return values_.setValue(key, value);
    }

    platform::MemoryKeyValueStore values_;
};

// The state object on stand-ins, with the writes of the preset list counted once asked.
class PresetEditTest : public StateTest {
protected:
    // Counts every change of the preset list in `presetWrites` from here on.
    void countPresetWrites() {
        if (!counting_) {
            QObject::connect(&state(), &AppState::presetsChanged, [this] { ++presetWrites; });
            counting_ = true;
        }
    }
    // The stored active preset.
    const DisplayConfig &active() { return state().presets().at(*state().activePresetIndex()); }

    int presetWrites = 0;

private:
    bool counting_ = false;
};

// The layout editor's tests: started with the built-in presets, presets of the user's own
// made to measure, writes counted from the start.
class EditorTest : public PresetEditTest {
protected:
    void SetUp() override {
        started();
        countPresetWrites();
    }

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
};

// The tests of the element list, the element editor and its sections: a user preset of the
// test's elements active, writes counted from when it is made.
class ElementTest : public PresetEditTest {
protected:
    void TearDown() override {
        platform::MainQueue::runPending();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A user preset of `elements`, made active; the writes of the preset list are counted from
    // here on.
    const DisplayConfig &usePreset(std::vector<BurnInElement> elements) {
        countPresetWrites();
        DisplayConfig preset(Uuid::random(), "Test", false, std::move(elements));
        state().setPresets({preset});
        state().setActivePresetID(preset.id);
        presetWrites = 0;
        return state().presets().front();
    }

    const std::vector<BurnInElement> &elements() { return active().elements; }
    const BurnInElement &element(std::size_t index) { return elements().at(index); }

    BulkStyleValues bulk;
};

} // namespace tandrel::testing
