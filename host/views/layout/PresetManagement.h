#pragma once

#include "core/model/DisplayConfig.h"
#include "host/views/layout/ActivePreset.h"
#include "host/views/layout/PresetFileWriter.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace tandrel {

class AppState;
class PresetFileDialogs;

// What the layout editor offers for a preset of each kind: built-in presets are reset to
// their factory form, the user's own are renamed and deleted.
struct PresetActions {
    bool rename = false;
    bool remove = false;
    bool reset = false;

    static PresetActions of(const DisplayConfig &preset);

    friend bool operator==(const PresetActions &, const PresetActions &) = default;
};

// Choosing, creating, duplicating, deleting, restoring, exporting and importing presets. Every
// change is a whole new list assigned to the state object (and a new active id where it
// says), so the state object saves, rewrites the snapshot and publishes as it does for any
// edit. Nothing here is reported to the user but an export that could not be written.
class PresetManagement {
public:
    // Shows a message with a title over `parent`, without blocking.
    using Alert =
        std::function<void(QWidget *parent, const QString &title, const QString &message)>;

    struct Services {
        PresetFileDialogs *dialogs = nullptr;
        Alert alert;
        // How an export puts its bytes into the file; the plain write by default.
        PresetFileWriter::WriteStep writeStep;

        // Qt's file dialogs and a warning message box.
        static Services standard();
    };

    static constexpr const char *copySuffix = " Copy";
    // Far above any preset's JSON.
    static constexpr uint64_t maxImportBytes = 8 * 1024 * 1024;
    static constexpr const char *exportFailedTitle = "Export Failed";
    static constexpr const char *resetConfirmationMessage =
        "This discards any changes you've made to this built-in preset. This can't be undone.";
    static constexpr const char *builtInCaption =
        "Built-in preset — edits apply immediately; duplicate to rename";

    PresetManagement(AppState &state, Services services);

    // A copy of the active preset (the default preset when none is active) with a new id,
    // " Copy" after its name and not built in, appended and made active. Its elements keep
    // their ids, so a selected element stays selected.
    void duplicateActivePreset();
    // Removes the active preset and makes the first of the rest active; the last preset is
    // never deleted. False when nothing changed.
    bool deleteActivePreset();
    // Gives the active preset the elements, options and name of the factory preset of exactly
    // its name, keeping its id and its place (one write); false when there is none.
    bool resetActivePresetToFactory();
    // The same for the preset of that id, active or not; false when it is gone or has no
    // factory preset of its name.
    bool resetPresetToFactory(const Uuid &id);

    // Takes the active preset's file bytes, then asks where to save them ("<name>.json"); the
    // file is written whole or not at all, and a failure shows the "Export Failed" alert.
    void exportActivePreset(QWidget *parent);
    // Asks for a file and imports the preset in it; a file that cannot be read or holds no
    // preset changes nothing, silently.
    void importPresetFromFile(QWidget *parent);

    // The proposed file name: the preset's name, any "/" made "-", and ".json".
    static QString exportFileName(const std::string &presetName);
    // "Could not write “<file name>”: " and the reason.
    static QString exportFailedMessage(const QString &fileName, const QString &reason);
    // "Reset “<name>” to its factory default?"
    static QString resetConfirmationTitle(const std::string &presetName);

private:
    AppState &state_;
    ActivePreset active_;
    Services services_;
};

} // namespace tandrel
