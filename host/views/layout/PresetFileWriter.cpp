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
