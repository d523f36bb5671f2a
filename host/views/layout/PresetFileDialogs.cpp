#include "host/views/layout/PresetFileDialogs.h"

#include <QFile>
#include <QFileDialog>

#include <memory>

namespace tandrel {

namespace {

class SystemPresetFileDialogs final : public PresetFileDialogs {
public:
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
    static QFileDialog *make(QWidget *parent, QFileDialog::AcceptMode mode, Done done) {
        auto *dialog = new QFileDialog(parent);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setAcceptMode(mode);
        dialog->setNameFilter(QStringLiteral("JSON (*.json)"));
        dialog->setDefaultSuffix(QStringLiteral("json"));
        // Exactly one answer, whichever way the dialog ends.
        auto answer = std::make_shared<Done>(std::move(done));
        const auto reply = [answer](std::optional<std::filesystem::path> file) {
            if (*answer) {
                const Done once = std::exchange(*answer, nullptr);
                once(std::move(file));
            }
        };
        QObject::connect(dialog, &QFileDialog::fileSelected, dialog, [reply](const QString &file) {
            reply(std::filesystem::path(QFile::encodeName(file).toStdString()));
        });
        QObject::connect(dialog, &QDialog::finished, dialog, [reply] { reply(std::nullopt); });
        return dialog;
    }
};

} // namespace

PresetFileDialogs &PresetFileDialogs::system() {
    static SystemPresetFileDialogs dialogs;
    return dialogs;
}

} // namespace tandrel
