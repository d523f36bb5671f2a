#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

class QIODevice;

namespace tandrel {

// Writes a preset file whole or not at all: the bytes go to a temporary file beside the
// target, which takes the target's place only once every byte is written. A failure leaves
// an existing file as it was. Only its owner may write the file, whatever the umask or the
// old file's mode.
class PresetFileWriter {
public:
    // Puts the bytes into the temporary file; false when that fails. Tests fail it halfway.
    using WriteStep = std::function<bool(QIODevice &file, const QByteArray &data)>;

    // Nothing on success, else the reason.
    static std::optional<QString> write(const std::filesystem::path &file, const QByteArray &data,
                                        const WriteStep &step = {});
};

} // namespace tandrel
