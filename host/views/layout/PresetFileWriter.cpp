#include "host/views/layout/PresetFileWriter.h"

#include <QFile>
#include <QSaveFile>

namespace tandrel {

std::optional<QString> PresetFileWriter::write(const std::filesystem::path &file,
                                               const QByteArray &data, const WriteStep &step) {
    QSaveFile out(QFile::decodeName(QByteArray::fromStdString(file.string())));
    if (!out.open(QIODevice::WriteOnly)) {
        return out.errorString();
    }
    // A preset file is a document to hand to others, so they may read it, but the temporary
    // file takes the umask's mode (0666 under umask 000) or the old file's: nobody but its
    // owner may write what the host reads back as a preset.
    if (!out.setPermissions(out.permissions() &
                            ~(QFileDevice::WriteGroup | QFileDevice::WriteOther))) {
        const QString reason = out.errorString();
        out.cancelWriting();
        return reason;
    }
    const bool written = step ? step(out, data) : out.write(data) == data.size();
    if (!written) {
        const QString reason = out.errorString();
        out.cancelWriting();
        return reason;
    }
    if (!out.commit()) {
        return out.errorString();
    }
    return std::nullopt;
}

} // namespace tandrel
