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
    // Known before the dialog ends, for whoever the end is told to (openOver), and kept only
    // when it does end.
    if (!selected.isEmpty()) {
        chosen_ = std::filesystem::path(QFile::encodeName(selected.front()).toStdString());
    }
    QFileDialog::accept();
    if (result() != QDialog::Accepted || isVisible()) {
        chosen_.reset();
    }
}

void ValidationFileChooser::pick(const QString &path) {
    chosen_ = std::filesystem::path(QFile::encodeName(path).toStdString());
    QDialog::accept();
}

void ValidationFileChooser::openOver(QWidget *parent, Chosen chosen) {
    auto *chooser = new ValidationFileChooser(parent);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->setWindowModality(Qt::WindowModal);
    connect(chooser, &QDialog::finished, chooser, [chooser, chosen = std::move(chosen)] {
        if (chooser->chosen_ && chosen) {
            chosen(*chooser->chosen_);
        }
    });
    chooser->open();
}

std::optional<std::filesystem::path> ValidationFileChooser::choose(QWidget *parent) {
    ValidationFileChooser chooser(parent);
    if (chooser.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return chooser.chosen();
}

} // namespace tandrel
