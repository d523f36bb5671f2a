#include "host/views/main/LibraryPicker.h"

#include "host/state/AppState.h"

#include <QFile>
#include <QFileDialog>

namespace tandrel {

namespace {

class FolderDialogPicker final : public LibraryPicker {
public:
    std::optional<std::filesystem::path> chooseLibrary(QWidget *parent) override {
        QFileDialog dialog(parent, QString::fromUtf8(message));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Choose"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return std::filesystem::path(
            QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString());
    }
};

} // namespace

LibraryPicker &LibraryPicker::system() {
    static FolderDialogPicker picker;
    return picker;
}

void openLibraryFilePicker(AppState &state, LibraryPicker &picker, QWidget *parent) {
    if (const auto library = picker.chooseLibrary(parent)) {
        state.addLibrary(*library);
    }
}

} // namespace tandrel
