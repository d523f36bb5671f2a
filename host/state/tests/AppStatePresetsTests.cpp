// The preset store, the built-in presets, and preset files, on stand-ins.

#include "host/state/tests/StateFixture.h"

#include "core/support/AsciiText.h"
#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"

#include <cmath>

namespace tandrel {
namespace {

using Names = std::vector<std::string>;

const Names builtInNames{"Netflix QC Layout", "Conform", "Colorist"};

Names namesOf(const std::vector<DisplayConfig> &presets) {
    Names names;
    for (const DisplayConfig &preset : presets) {
        names.push_back(preset.name);
    }
    return names;
}

DisplayConfig userPreset(std::string name) {
    DisplayConfig preset;
    preset.name = std::move(name);
    return preset;
}

std::string encoded(const std::vector<DisplayConfig> &presets) {
    return encodeJsonText(encodeJsonValue(presets));
}

class AppStatePresets : public testing::StateTest {
protected:
    void storePresets(const std::vector<DisplayConfig> &presets) {
        defaults->setValue(AppState::presetsKey, QByteArray::fromStdString(encoded(presets)));
    }
    std::vector<DisplayConfig> storedPresets() const {
        return decodeJsonValue<std::vector<DisplayConfig>>(
            parseJsonText(defaults->data(AppState::presetsKey).value().toStdString()));
    }
    // A fresh run on fresh user defaults.
    void restart() {
        defaults = std::make_shared<testing::WriteCountingStore>();
        state_.reset();
    }
};

TEST_F(AppStatePresets, AtFirstLaunchTheBuiltInPresetsAreStoredAndTheFirstIsActive) {
    started();
    EXPECT_EQ(namesOf(state().presets()), builtInNames);
    EXPECT_EQ(state().activePresetID(), state().presets()[0].id);
    EXPECT_EQ(storedPresets(), state().presets());
    EXPECT_FALSE(defaults->value(AppState::unreadablePresetsKey).isValid());

    // The next run keeps what is stored, ids and choice included.
    state().setActivePresetID(state().presets()[2].id);
    const std::unique_ptr<AppState> next = nextRun();
    EXPECT_EQ(next->presets(), state().presets());
    EXPECT_EQ(next->activePresetIndex(), 2u);
}

TEST_F(AppStatePresets, StoredPresetsComeFirstAndOnlyBuiltInNamesTheyLackAreAdded) {
    DisplayConfig editedQC = BundledPresets::table()[0];
    editedQC.elements.pop_back();
    struct Case {
        const char *what;
        std::vector<DisplayConfig> stored;
        Names names;
    };
    const Case cases[] = {
        {"nothing stored but an empty list", {}, builtInNames},
        {"a user preset named Conform",
         {userPreset("Conform")},
         {"Conform", "Netflix QC Layout", "Colorist"}},
        {"names compared exactly",
         {userPreset("conform")},
         {"conform", "Netflix QC Layout", "Conform", "Colorist"}},
        {"a stored built-in kept as stored, a deleted one back",
         {editedQC, BundledPresets::table()[1]},
         builtInNames},
    };
    for (const Case &c : cases) {
        restart();
        storePresets(c.stored);
        started();
        EXPECT_EQ(namesOf(state().presets()), c.names) << c.what;
        // Stored presets keep their ids and contents.
        for (size_t i = 0; i < c.stored.size(); ++i) {
            EXPECT_EQ(state().presets()[i], c.stored[i]) << c.what;
        }
        EXPECT_EQ(storedPresets(), state().presets()) << c.what;
    }
    // The deleted "Colorist" came back (with the id this run gave the table).
    EXPECT_EQ(state().presets()[2], BundledPresets::table()[2]);
}

TEST_F(AppStatePresets, TheStoredActivePresetIsTakenOnlyWhenItNamesAPreset) {
    const std::vector<DisplayConfig> &table = BundledPresets::table();
    const std::string conform = table[1].id.uuidString();
    const std::string lower = asciiLowercased(conform);
    struct Case {
        std::optional<QString> stored;
        size_t active;
    };
    const Case cases[] = {
        {std::nullopt, 0},
        {QString::fromStdString(conform), 1},
        {QString::fromStdString(lower), 1},
        {QString::fromStdString(Uuid::random().uuidString()), 0},
        {"Conform", 0},
    };
    for (const Case &c : cases) {
        restart();
        storePresets(table);
        if (c.stored) {
            defaults->setValue(AppState::activePresetIDKey, *c.stored);
        }
        started();
        EXPECT_EQ(state().activePresetIndex(), c.active)
            << c.stored.value_or("(none)").toStdString();
    }
}

TEST_F(AppStatePresets, UnreadableStoredPresetsAreKeptAsideBeforeTheBuiltInsReplaceThem) {
    // The user's presets, one of whose elements shows a field of a newer host.
    Json newer =
        encodeJsonValue(std::vector<DisplayConfig>{userPreset("Mine"), userPreset("Ours")});
    newer[1]["elements"][0]["field"] = "heartRate";
    const QVariant cases[] = {
        QByteArray::fromStdString(encodeJsonText(newer)),
        QByteArray("{ not json"),
        QString("a value of another kind"),
    };
    for (const QVariant &stored : cases) {
        restart();
        defaults->setValue(AppState::presetsKey, stored);
        started();
        EXPECT_EQ(namesOf(state().presets()), builtInNames);
        EXPECT_EQ(storedPresets(), state().presets());
        EXPECT_EQ(defaults->value(AppState::unreadablePresetsKey), stored);
    }
}

TEST_F(AppStatePresets, ResourcePresetFilesOverlayTheBuiltInsAtStart) {
    DisplayConfig colorist = userPreset("Colorist");
    DisplayConfig dailies = userPreset("Dailies");
    testing::writeFile(presetFiles / "Colorist.json", encodeJsonText(encodeJsonValue(colorist)));
    testing::writeFile(presetFiles / "Dailies.json", encodeJsonText(encodeJsonValue(dailies)));
    started();
    EXPECT_EQ(namesOf(state().presets()),
              (Names{"Netflix QC Layout", "Conform", "Colorist", "Dailies"}));
    colorist.isBuiltIn = true;
    EXPECT_EQ(state().presets()[2], colorist);
    EXPECT_TRUE(state().presets()[3].isBuiltIn);
    EXPECT_EQ(namesOf(state().factoryPresets()), namesOf(state().presets()));
}

TEST_F(AppStatePresets, AnImportedPresetIsANewUserPresetMadeActiveAndBadBytesChangeNothing) {
    started();
    int presetChanges = 0;
    int activeChanges = 0;
    QObject::connect(&state(), &AppState::presetsChanged, [&] { ++presetChanges; });
    QObject::connect(&state(), &AppState::activePresetIDChanged, [&] { ++activeChanges; });
    const DisplayConfig conform = state().presets()[1];
    const std::string conformFile = *AppState::exportPresetData(conform);
    DisplayConfig lowerCase = userPreset("conform");
    lowerCase.visiblePictureAspectRatio = 2.39;
    Json noElements = encodeJsonValue(userPreset("Bare"));
    noElements.erase("elements");

    struct Case {
        const char *what;
        std::string file;
        std::optional<std::string> importedName; // nothing: refused
    };
    const Case cases[] = {
        {"a name taken", conformFile, "Conform (Imported)"},
        {"the same file again: one suffix only", conformFile, "Conform (Imported)"},
        {"names compared exactly", *AppState::exportPresetData(lowerCase), "conform"},
        {"empty bytes", "", std::nullopt},
        {"not a preset", "[]", std::nullopt},
        {"a preset without elements", encodeJsonText(noElements), std::nullopt},
    };
    for (const Case &c : cases) {
        const std::vector<DisplayConfig> before = state().presets();
        const Uuid activeBefore = state().activePresetID();
        presetChanges = activeChanges = 0;
        const bool imported = state().importPreset(c.file);
        EXPECT_EQ(imported, c.importedName.has_value()) << c.what;
        if (!c.importedName) {
            EXPECT_EQ(state().presets(), before) << c.what;
            EXPECT_EQ(state().activePresetID(), activeBefore) << c.what;
            EXPECT_EQ(presetChanges + activeChanges, 0) << c.what;
            continue;
        }
        ASSERT_EQ(state().presets().size(), before.size() + 1) << c.what;
        const DisplayConfig &added = state().presets().back();
        EXPECT_EQ(added.name, *c.importedName) << c.what;
        EXPECT_FALSE(added.isBuiltIn) << c.what;
        EXPECT_EQ(state().activePresetID(), added.id) << c.what;
        for (const DisplayConfig &other : before) {
            EXPECT_NE(added.id, other.id) << c.what;
        }
        EXPECT_EQ(presetChanges, 1) << c.what;
        EXPECT_EQ(activeChanges, 1) << c.what;
    }
    // Everything but id, name and built-in flag came across.
    DisplayConfig imported = state().presets()[3];
    imported.id = conform.id;
    imported.name = conform.name;
    imported.isBuiltIn = true;
    EXPECT_EQ(imported, conform);
    EXPECT_EQ(state().presets()[5].visiblePictureAspectRatio, 2.39);
    EXPECT_EQ(storedPresets(), state().presets());
}

TEST_F(AppStatePresets, AnExportedPresetIsPrettyJsonWithSortedKeysThatReadsBackEqual) {
    started();
    const DisplayConfig preset = state().presets()[0];
    const std::optional<std::string> file = AppState::exportPresetData(preset);
    ASSERT_TRUE(file);
    // Built-in presets are written as they are.
    EXPECT_EQ(decodeJsonValue<DisplayConfig>(parseJsonText(*file)), preset);
    EXPECT_NE(file->find("\n  \"elements\": ["), std::string::npos) << *file;

    // Keys in order at every level, as written.
    const Json written = parseJsonText(*file);
    const auto keys = [](const Json &object) {
        std::vector<std::string> names;
        for (const auto &[key, value] : object.items()) {
            names.push_back(key);
        }
        return names;
    };
    const auto expectSorted = [&](const Json &object) {
        std::vector<std::string> names = keys(object);
        EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
        EXPECT_GT(names.size(), 3u);
    };
    expectSorted(written);
    for (const Json &element : written["elements"]) {
        expectSorted(element);
    }

    DisplayConfig broken = preset;
    broken.elements[0].posX = std::nan("");
    EXPECT_EQ(AppState::exportPresetData(broken), std::nullopt);
}

} // namespace
} // namespace tandrel
