#pragma once

#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace platform {
class KeyValueStore;
}

namespace tandrel {

// The save and open panels of preset files: JSON files only, shown without blocking, the
// answer handed to `done` on the main thread once the user has chosen (nothing when the user
// cancelled). An interface, so that tests answer in their place.
class PresetFileDialogs {
public:
    using Done = std::function<void(std::optional<std::filesystem::path> file)>;

    virtual ~PresetFileDialogs() = default;

    // A save panel proposing `fileName`.
    virtual void chooseExportFile(QWidget *parent, const QString &fileName, Done done) = 0;
    // An open panel for one file.
    virtual void chooseImportFile(QWidget *parent, Done done) = 0;

    // Qt's file dialogs, window-modal over `parent`. Both open in the folder of the last
    // preset file chosen in either (an export's folder is where the next import looks first),
    // kept in the host's user defaults so that the next start opens there too; at first, when
    // that folder is gone, or when the user defaults are refused (a settings folder another
    // user owns or may write), in the user's documents folder.
    static PresetFileDialogs &system();
    // Dialogs like system()'s, starting from what the user defaults hold now; these user
    // defaults, or without them the host's standard ones.
    static std::unique_ptr<PresetFileDialogs>
    makeSystem(std::shared_ptr<platform::KeyValueStore> userDefaults = nullptr);
};

} // namespace tandrel
