// Preset management and the preset's display options, on the state object with stand-ins and
// preset files in a folder of the test's own.

#include "core/tests/FileMode.h"
#include "host/views/common/Preferences.h"
#include "host/views/common/tests/ViewTestSupport.h"
#include "host/views/layout/ActivePreset.h"
#include "host/views/layout/PresetFileDialogs.h"
#include "host/views/layout/PresetManagement.h"
#include "host/views/layout/PresetOptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIODevice>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace tandrel::testing {
namespace {

// The save and open panels, answered by the test: at once, or later when `hold` is set.
class FakeFileDialogs final : public PresetFileDialogs {
public:
    void chooseExportFile(QWidget *, const QString &fileName, Done done) override {
        proposed.push_back(fileName);
        answer(std::move(done));
    }
    void chooseImportFile(QWidget *, Done done) override {
        ++opened;
        answer(std::move(done));
    }

    std::optional<std::filesystem::path> file;
    bool hold = false;
    Done held;
    std::vector<QString> proposed;
    int opened = 0;

private:
    void answer(Done done) {
        if (hold) {
            held = std::move(done);
        } else {
            done(file);
        }
    }
};

std::string contents(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const std::filesystem::path &file, const std::string &bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

class PresetManagementTest : public EditorTest {
protected:
    PresetManagement management() {
        return PresetManagement(
            state(),
            {.dialogs = &dialogs,
             .alert = [this](QWidget *, const QString &title,
                             const QString &message) { alerts.emplace_back(title, message); },
             .writeStep = writeStep});
    }
    std::optional<Uuid> selected() { return ActivePreset(state()).selectedElement(); }

    FakeFileDialogs dialogs;
    PresetFileWriter::WriteStep writeStep;
    std::vector<std::pair<QString, QString>> alerts;
    ScratchFolder files;
};

TEST_F(PresetManagementTest, ActionsFollowThePresetsKind) {
    DisplayConfig preset;
    EXPECT_EQ(PresetActions::of(preset), (PresetActions{.rename = true, .remove = true}));
    preset.isBuiltIn = true;
    EXPECT_EQ(PresetActions::of(preset), (PresetActions{.reset = true}));
}

TEST_F(PresetManagementTest, DuplicateMakesAUserCopyThatKeepsTheSelectedElement) {
    activate("Conform");
    const DisplayConfig original = active();
    const Uuid element = original.elements.at(0).id;
    state().selectElement(element, false);
    const std::size_t count = state().presets().size();

    management().duplicateActivePreset();
    ASSERT_EQ(state().presets().size(), count + 1);
    const DisplayConfig &copy = state().presets().back();
    EXPECT_EQ(state().activePresetID(), copy.id);
    EXPECT_NE(copy.id, original.id);
    EXPECT_EQ(copy.name, "Conform Copy");
    EXPECT_FALSE(copy.isBuiltIn);
    EXPECT_EQ(copy.elements, original.elements);
    EXPECT_EQ(selected(), element);
    EXPECT_TRUE(PresetActions::of(copy).rename);

    // Names are not made unique.
    activate("Conform");
    management().duplicateActivePreset();
    EXPECT_EQ(state().presets().back().name, "Conform Copy");
    EXPECT_EQ(std::ranges::count(presetNames(), "Conform Copy"), 2);
}

TEST_F(PresetManagementTest, DuplicateWithoutAnActivePresetCopiesTheDefault) {
    deactivate();
    management().duplicateActivePreset();
    EXPECT_EQ(active().name, "Custom Copy");
    EXPECT_EQ(active().elements.size(), 2U);
    EXPECT_EQ(active().elements.at(0).field, MetadataField::sourceTC);
}

// The snapshot and the editor panel follow every change of the list and of the active id: an
// action that changed them one after the other would publish a state nobody made (a list
// without its active preset, which the plug-in draws as the default "Custom" layout).
TEST_F(PresetManagementTest, EachActionIsOneChangeOfItsEndState) {
    addUserPreset("Mine", {});
    write(files / "Mine.json", *AppState::exportPresetData(active()));
    dialogs.file = files / "Mine.json";
    // Each change signal, with the active preset's name as it is then (none without one).
    using Seen = std::pair<std::string, std::optional<std::string>>;
    std::vector<Seen> seen;
    const auto note = [&](const char *signal) {
        return [&, signal] {
            const std::optional<std::size_t> index = state().activePresetIndex();
            seen.emplace_back(signal,
                              index ? std::optional(state().presets()[*index].name) : std::nullopt);
        };
    };
    QObject::connect(&state(), &AppState::presetsChanged, note("presets"));
    QObject::connect(&state(), &AppState::activePresetIDChanged, note("active"));
    const std::string first = state().presets().front().name;

    const struct {
        const char *what;
        std::function<void()> act;
        std::vector<Seen> changes;
    } cases[] = {
        {"delete",
         [&] { management().deleteActivePreset(); },
         {{"presets", first}, {"active", first}}},
        {"duplicate",
         [&] { management().duplicateActivePreset(); },
         {{"presets", first + " Copy"}, {"active", first + " Copy"}}},
        {"import",
         [&] { management().importPresetFromFile(nullptr); },
         {{"presets", "Mine"}, {"active", "Mine"}}},
    };
    for (const auto &[what, act, changes] : cases) {
        SCOPED_TRACE(what);
        seen.clear();
        const int saves = defaults->saves;
        act();
        EXPECT_EQ(seen, changes);
        // The list and the active id, stored in one write of the settings file.
        EXPECT_EQ(defaults->saves - saves, 1);
    }
}

TEST_F(PresetManagementTest, DeleteMakesTheFirstPresetActiveAndNeverTheLast) {
    addUserPreset("Fourth", {});
    addUserPreset("Fifth", {});
    ASSERT_EQ(state().presets().size(), 5U);
    const Uuid first = state().presets().front().id;
    state().setActivePresetID(state().presets().at(2).id);
    const std::string third = state().presets().at(2).name;

    EXPECT_TRUE(management().deleteActivePreset());
    EXPECT_EQ(state().presets().size(), 4U);
    EXPECT_EQ(std::ranges::count(presetNames(), third), 0);
    EXPECT_EQ(state().activePresetID(), first);

    deactivate();
    EXPECT_FALSE(management().deleteActivePreset());
    EXPECT_EQ(state().presets().size(), 4U);

    // One preset left: it stays.
    state().setPresets({state().presets().back()});
    state().setActivePresetID(state().presets().front().id);
    const int writes = presetWrites;
    EXPECT_FALSE(management().deleteActivePreset());
    EXPECT_EQ(state().presets().size(), 1U);
    EXPECT_EQ(presetWrites, writes);
}

TEST_F(PresetManagementTest, ResetRestoresTheFactoryFormInPlaceWithItsID) {
    activate("Conform");
    const std::size_t position = *state().activePresetIndex();
    const Uuid id = active().id;
    DisplayConfig factory;
    for (const DisplayConfig &preset : state().factoryPresets()) {
        if (preset.name == "Conform") {
            factory = preset;
        }
    }
    ActivePreset(state()).update([](DisplayConfig &preset) {
        preset.elements.clear();
        preset.showStackedLayers = true;
        preset.visiblePictureAspectRatio = 2.39;
    });
    const int writes = presetWrites;

    EXPECT_TRUE(management().resetActivePresetToFactory());
    EXPECT_EQ(presetWrites, writes + 1);
    EXPECT_EQ(*state().activePresetIndex(), position);
    EXPECT_EQ(active().id, id);
    EXPECT_TRUE(active().isBuiltIn);
    EXPECT_EQ(active().name, "Conform");
    EXPECT_EQ(active().elements, factory.elements);
    EXPECT_EQ(active().showStackedLayers, factory.showStackedLayers);
    EXPECT_EQ(active().visiblePictureAspectRatio, factory.visiblePictureAspectRatio);
}

TEST_F(PresetManagementTest, ResetWithoutAFactoryPresetOfThatNameChangesNothing) {
    activate("Conform");
    ActivePreset(state()).update([](DisplayConfig &preset) {
        preset.name = "conform"; // the name is compared exactly
        preset.elements.clear();
    });
    const std::vector<DisplayConfig> before = state().presets();
    EXPECT_FALSE(management().resetActivePresetToFactory());
    EXPECT_EQ(state().presets(), before);
    deactivate();
    EXPECT_FALSE(management().resetActivePresetToFactory());
}

TEST_F(PresetManagementTest, ExportWritesTheBytesTakenBeforeThePanelOpened) {
    activate("Conform");
    const std::string bytes = *AppState::exportPresetData(active());
    dialogs.file = files / "Conform.json";
    dialogs.hold = true;
    management().exportActivePreset(nullptr);
    EXPECT_EQ(dialogs.proposed, std::vector<QString>{QStringLiteral("Conform.json")});
    // An edit while the panel is open is not in the file.
    ActivePreset(state()).update([](DisplayConfig &preset) { preset.name = "Later"; });
    dialogs.held(dialogs.file);
    EXPECT_EQ(contents(files / "Conform.json"), bytes);
    EXPECT_TRUE(alerts.empty());

    // Cancelled: nothing is written.
    dialogs.hold = false;
    dialogs.file.reset();
    management().exportActivePreset(nullptr);
    EXPECT_EQ(dialogs.proposed.back(), QStringLiteral("Later.json"));
    EXPECT_FALSE(std::filesystem::exists(files / "Later.json"));
    EXPECT_TRUE(alerts.empty());
}

TEST_F(PresetManagementTest, OnlyItsOwnerMayWriteAnExportedFileWhateverTheUmask) {
    activate("Conform");
    const struct {
        mode_t umask;
        unsigned oldMode; // 0: no file there before
        unsigned expected;
    } cases[] = {
        {000, 0, 0644}, {022, 0, 0644}, {077, 0, 0600}, {000, 0666, 0644}, {022, 0600, 0600},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "umask " << std::oct << c.umask << " old " << c.oldMode);
        const std::filesystem::path file = files / "Conform.json";
        std::filesystem::remove(file);
        if (c.oldMode != 0) {
            write(file, "{}");
            ASSERT_EQ(::chmod(file.c_str(), c.oldMode), 0);
        }
        dialogs.file = file;
        {
            const ScopedUmask mask(c.umask);
            management().exportActivePreset(nullptr);
        }
        EXPECT_TRUE(alerts.empty());
        EXPECT_EQ(modeOf(file), c.expected);
    }
}

TEST_F(PresetManagementTest, ExportFileNamesAndTexts) {
    EXPECT_EQ(PresetManagement::exportFileName("Netflix QC Layout"),
              QStringLiteral("Netflix QC Layout.json"));
    EXPECT_EQ(PresetManagement::exportFileName("A/B 1/2"), QStringLiteral("A-B 1-2.json"));
    EXPECT_EQ(PresetManagement::exportFailedMessage(QStringLiteral("x.json"),
                                                    QStringLiteral("No space left")),
              QString::fromUtf8("Could not write \u201Cx.json\u201D: No space left"));
    EXPECT_EQ(PresetManagement::resetConfirmationTitle("Conform"),
              QString::fromUtf8("Reset \u201C"
                                "Conform\u201D to its factory default?"));
}

TEST_F(PresetManagementTest, AnExportThatCannotBeWrittenSaysSoAndKeepsTheOldFile) {
    activate("Conform");
    // A folder that is not there.
    dialogs.file = files / "missing" / "Conform.json";
    management().exportActivePreset(nullptr);
    ASSERT_EQ(alerts.size(), 1U);
    EXPECT_EQ(alerts[0].first, QStringLiteral("Export Failed"));
    const QString prefix = QString::fromUtf8("Could not write \u201C"
                                             "Conform.json\u201D: ");
    EXPECT_TRUE(alerts[0].second.startsWith(prefix)) << alerts[0].second.toStdString();
    EXPECT_GT(alerts[0].second.size(), prefix.size());
    EXPECT_FALSE(std::filesystem::exists(files / "missing"));

    // A write that fails halfway over an existing file.
    const std::string old = "{\"name\": \"the old preset\"}\n";
    write(files / "Conform.json", old);
    dialogs.file = files / "Conform.json";
    writeStep = [](QIODevice &file, const QByteArray &data) {
        file.write(data.left(data.size() / 2));
        return false;
    };
    management().exportActivePreset(nullptr);
    ASSERT_EQ(alerts.size(), 2U);
    EXPECT_EQ(alerts[1].first, QStringLiteral("Export Failed"));
    EXPECT_TRUE(alerts[1].second.startsWith(prefix));
    EXPECT_EQ(contents(files / "Conform.json"), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(PresetManagementTest, TheImportDialogOpensWhereTheLastExportWentAlsoAfterARestart) {
    // The host's user defaults, private to the test.
    QTemporaryDir settings;
    ASSERT_TRUE(settings.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const std::unique_ptr<PresetFileDialogs> system = PresetFileDialogs::makeSystem();
    QWidget window;
    const std::filesystem::path folder = files / "exports";
    std::filesystem::create_directories(folder);
    const QString where = QDir(QString::fromStdString(folder.string())).absolutePath();
    const auto open = [&window] {
        QFileDialog *dialog = window.findChild<QFileDialog *>();
        EXPECT_NE(dialog, nullptr);
        return dialog;
    };

    std::optional<std::filesystem::path> exported;
    system->chooseExportFile(&window, QStringLiteral("Conform.json"),
                             [&](std::optional<std::filesystem::path> file) { exported = file; });
    QFileDialog *dialog = open();
    ASSERT_NE(dialog, nullptr);
    // At first, the user's documents (or home) folder, not wherever the host was started.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(dialog->directory().absolutePath(),
              QDir(QFileInfo(documents).isDir() ? documents : QDir::homePath()).absolutePath());
    dialog->selectFile(where + QStringLiteral("/Conform.json"));
    // As the dialog's own "Save" does.
    static_cast<QDialog *>(dialog)->accept();
    EXPECT_EQ(exported, folder / "Conform.json");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const auto importOpensThere = [&](PresetFileDialogs &dialogs) {
        dialogs.chooseImportFile(&window, [](std::optional<std::filesystem::path>) {});
        QFileDialog *opened = open();
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->directory().absolutePath(), where);
        opened->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    importOpensThere(*system);
    // The next start's dialogs open there too: the folder is in the user defaults' file.
    EXPECT_EQ(platform::SettingsKeyValueStore::standardUserDefaults()->string(
                  QString::fromUtf8(Preferences::presetFileFolderKey)),
              where);
    importOpensThere(*PresetFileDialogs::makeSystem());
}

TEST_F(PresetManagementTest, ImportAddsWithASuffixOncePerImportAndIgnoresWhatIsNoPreset) {
    activate("Conform");
    write(files / "Conform.json", *AppState::exportPresetData(active()));
    dialogs.file = files / "Conform.json";
    const std::size_t count = state().presets().size();

    management().importPresetFromFile(nullptr);
    management().importPresetFromFile(nullptr);
    ASSERT_EQ(state().presets().size(), count + 2);
    for (const std::size_t i : {count, count + 1}) {
        EXPECT_EQ(state().presets()[i].name, "Conform (Imported)");
        EXPECT_FALSE(state().presets()[i].isBuiltIn);
    }
    EXPECT_NE(state().presets()[count].id, state().presets()[count + 1].id);
    EXPECT_EQ(state().activePresetID(), state().presets().back().id);

    // A file that is no preset, one that cannot be read, a pipe (read, it would stall the
    // host), a file larger than any preset, and a cancelled panel.
    write(files / "empty.json", "");
    ASSERT_EQ(::mkfifo((files / "pipe.json").c_str(), 0600), 0);
    write(files / "huge.json", std::string(PresetManagement::maxImportBytes + 1, ' '));
    const std::vector<DisplayConfig> before = state().presets();
    const Uuid activeBefore = state().activePresetID();
    for (const std::optional<std::filesystem::path> &file :
         {std::optional(files / "empty.json"), std::optional(files / "gone.json"),
          std::optional(files / "pipe.json"), std::optional(files / "huge.json"),
          std::optional<std::filesystem::path>()}) {
        dialogs.file = file;
        management().importPresetFromFile(nullptr);
    }
    EXPECT_EQ(dialogs.opened, 7);
    EXPECT_EQ(state().presets(), before);
    EXPECT_EQ(state().activePresetID(), activeBefore);
    EXPECT_TRUE(alerts.empty());
}

TEST(PresetOptions, StackOrderChoicesAndTheirStoredValues) {
    const struct {
        StackOrderChoice choice;
        std::optional<bool> stored;
        const char *title;
    } cases[] = {{StackOrderChoice::defaultOrder, std::nullopt, "Default"},
                 {StackOrderChoice::v1OnTop, true, "V1 on top"},
                 {StackOrderChoice::v1OnBottom, false, "V1 on bottom"}};
    for (const auto &[choice, stored, title] : cases) {
        EXPECT_EQ(choice.stored(), stored);
        EXPECT_EQ(StackOrderChoice::from(stored), choice);
        EXPECT_EQ(choice.title(), title);
    }
}

class PresetOptionsTest : public EditorTest {
protected:
    PresetOptions options{state()};
};

TEST_F(PresetOptionsTest, APresetWithoutOptionsReadsAsTheDefaults) {
    addUserPreset("Plain", {});
    const Json file = exportedActive();
    for (const char *key :
         {"visiblePictureAspectRatio", "showStackedLayers", "constrainToVisiblePicture",
          "stackedLayersV1OnTop", "hideOnGeneratorClips"}) {
        EXPECT_FALSE(file.contains(key)) << key;
    }
    EXPECT_EQ(options.visiblePictureAspectRatio(), std::nullopt);
    EXPECT_FALSE(options.constrainToVisiblePicture());
    EXPECT_FALSE(options.showStackedLayers());
    EXPECT_EQ(options.stackedLayerOrder(), StackOrderChoice::defaultOrder);
    EXPECT_FALSE(options.hideOnGeneratorClips());
}

TEST_F(PresetOptionsTest, EachWriteIsOneAssignmentAndTheFileShowsWhatWasStored) {
    addUserPreset("Plain", {});
    const struct {
        const char *key;
        std::function<void()> edit;
        std::optional<Json> inFile; // absent: the key is left out
    } steps[] = {
        {"showStackedLayers", [&] { options.setShowStackedLayers(true); }, Json(true)},
        {"showStackedLayers", [&] { options.setShowStackedLayers(false); }, Json(false)},
        {"constrainToVisiblePicture", [&] { options.setConstrainToVisiblePicture(true); },
         Json(true)},
        {"constrainToVisiblePicture", [&] { options.setConstrainToVisiblePicture(false); },
         Json(false)},
        {"hideOnGeneratorClips", [&] { options.setHideOnGeneratorClips(true); }, Json(true)},
        {"stackedLayersV1OnTop", [&] { options.setStackedLayerOrder(StackOrderChoice::v1OnTop); },
         Json(true)},
        {"stackedLayersV1OnTop",
         [&] { options.setStackedLayerOrder(StackOrderChoice::v1OnBottom); }, Json(false)},
        {"stackedLayersV1OnTop",
         [&] { options.setStackedLayerOrder(StackOrderChoice::defaultOrder); }, std::nullopt},
        {"visiblePictureAspectRatio", [&] { options.setVisiblePictureAspectRatio(2.39); },
         Json(2.39)},
        {"visiblePictureAspectRatio", [&] { options.setVisiblePictureAspectRatio({}); },
         std::nullopt},
    };
    for (const auto &[key, edit, inFile] : steps) {
        SCOPED_TRACE(key);
        const int writes = presetWrites;
        edit();
        EXPECT_EQ(presetWrites, writes + 1);
        const Json file = exportedActive();
        if (inFile) {
            EXPECT_EQ(file.value(key, Json()), *inFile);
        } else {
            EXPECT_FALSE(file.contains(key));
        }
    }
    EXPECT_TRUE(options.showStackedLayers() == false && options.hideOnGeneratorClips());
}

TEST_F(PresetOptionsTest, WithoutAnActivePresetEditsAreDropped) {
    deactivate();
    const std::vector<DisplayConfig> before = state().presets();
    options.setShowStackedLayers(true);
    options.setStackedLayerOrder(StackOrderChoice::v1OnTop);
    options.setVisiblePictureAspectRatio(2.39);
    EXPECT_EQ(state().presets(), before);
    EXPECT_FALSE(options.showStackedLayers());
    EXPECT_EQ(options.stackedLayerOrder(), StackOrderChoice::defaultOrder);
    EXPECT_EQ(options.visiblePictureAspectRatio(), std::nullopt);
}

} // namespace
} // namespace tandrel::testing
