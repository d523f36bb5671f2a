#include "host/views/validation/ValidationFileChooser.h"

#include "core/validation/ReportTexts.h"

#include <QFile>
#include <QFileInfo>

namespace tandrel {

ValidationFileChooser::ValidationFileChooser(QWidget *parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setWindowTitle(QString::fromUtf8(ReportTexts::chooserMessage));
    // All three at once, as the open panel of the platform offers them.
    setNameFilter(QStringLiteral("FCPXML (*.fcpxml *.fcpxmld *.xml)"));
    // The dialog starts where the last one ended; not inside a bundle chosen by opening it.
    const QString start = directory().absolutePath();
    if (isBundle(start)) {
        setDirectory(QFileInfo(start).absolutePath());
    }
    connect(this, &QFileDialog::directoryEntered, this, [this](const QString &entered) {
        if (isBundle(entered)) {
            pick(entered);
        }
    });
}

bool ValidationFileChooser::isBundle(const QString &path) {
    const QFileInfo info(path);
    return info.isDir() && info.fileName().endsWith(QLatin1String(".fcpxmld"), Qt::CaseInsensitive);
}

void ValidationFileChooser::accept() {
    const QStringList selected = selectedFiles();
    if (selected.size() == 1 && isBundle(selected.front())) {
        pick(selected.front());
        return;
    }
    QFileDialog::accept();
    if (result() == QDialog::Accepted && !selectedFiles().isEmpty()) {
        chosen_ = std::filesystem::path(QFile::encodeName(selectedFiles().front()).toStdString());
    }
}

void ValidationFileChooser::pick(const QString &path) {
    chosen_ = std::filesystem::path(QFile::encodeName(path).toStdString());
    QDialog::accept();
}

std::optional<std::filesystem::path> ValidationFileChooser::choose(QWidget *parent) {
    ValidationFileChooser chooser(parent);
    if (chooser.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return chooser.chosen();
}

} // namespace tandrel
