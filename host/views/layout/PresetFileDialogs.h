#pragma once

#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

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
    // kept in the application's settings so that the next start opens there too; at first,
    // or when that folder is gone, in the user's documents folder.
    static PresetFileDialogs &system();
    // Dialogs like system()'s, starting from what the settings hold now.
    static std::unique_ptr<PresetFileDialogs> makeSystem();
};

} // namespace tandrel
