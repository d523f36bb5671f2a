#include "host/views/layout/PresetFileDialogs.h"

#include "host/views/common/Preferences.h"
#include "platform/runtime/KeyValueStore.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

namespace tandrel {

namespace {

class SystemPresetFileDialogs final : public PresetFileDialogs {
public:
    explicit SystemPresetFileDialogs(std::shared_ptr<platform::KeyValueStore> userDefaults)
        : userDefaults_(std::move(userDefaults)) {}

    void chooseExportFile(QWidget *parent, const QString &fileName, Done done) override {
        QFileDialog *dialog = make(parent, QFileDialog::AcceptSave, std::move(done));
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->selectFile(fileName);
        dialog->open();
    }

    void chooseImportFile(QWidget *parent, Done done) override {
        QFileDialog *dialog = make(parent, QFileDialog::AcceptOpen, std::move(done));
        dialog->setFileMode(QFileDialog::ExistingFile);
        dialog->open();
    }

private:
    QFileDialog *make(QWidget *parent, QFileDialog::AcceptMode mode, Done done) {
        auto *dialog = new QFileDialog(parent);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setAcceptMode(mode);
        dialog->setNameFilter(QStringLiteral("JSON (*.json)"));
        dialog->setDefaultSuffix(QStringLiteral("json"));
        dialog->setDirectory(folder_);
        // Exactly one answer, whichever way the dialog ends.
        auto answer = std::make_shared<Done>(std::move(done));
        const auto reply = [answer](std::optional<std::filesystem::path> file) {
            if (*answer) {
                const Done once = std::exchange(*answer, nullptr);
                once(std::move(file));
            }
        };
        QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                         [this, reply](const QString &file) {
                             folder_ = QFileInfo(file).absolutePath();
                             userDefaults_->setValue(
                                 QString::fromUtf8(Preferences::presetFileFolderKey), folder_);
                             reply(std::filesystem::path(QFile::encodeName(file).toStdString()));
                         });
        QObject::connect(dialog, &QDialog::finished, dialog, [reply] { reply(std::nullopt); });
        return dialog;
    }

    std::shared_ptr<platform::KeyValueStore> userDefaults_;
    // Where the next dialog opens: the last chosen file's folder, else the user's documents.
    QString folder_ = [this] {
        const QString last =
            userDefaults_->string(QString::fromUtf8(Preferences::presetFileFolderKey))
                .value_or(QString());
        if (!last.isEmpty() && QFileInfo(last).isDir()) {
            return last;
        }
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QFileInfo(documents).isDir() ? documents : QDir::homePath();
    }();
};

} // namespace

PresetFileDialogs &PresetFileDialogs::system() {
    static SystemPresetFileDialogs dialogs(platform::SettingsKeyValueStore::standardUserDefaults());
    return dialogs;
}

std::unique_ptr<PresetFileDialogs>
PresetFileDialogs::makeSystem(std::shared_ptr<platform::KeyValueStore> userDefaults) {
    return std::make_unique<SystemPresetFileDialogs>(
        userDefaults ? std::move(userDefaults)
                     : platform::SettingsKeyValueStore::standardUserDefaults());
}

} // namespace tandrel
