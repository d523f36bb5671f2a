#include "extension/XMLDropFile.h"

#include "core/support/AtomicFileWriter.h"
#include "host/bridge/ExtensionBridge.h"

#include <QTextBoundaryFinder>

#include <ctime>
#include <system_error>

namespace tandrel {

namespace {

// User-perceived characters, as the status line counts them.
qsizetype characterCount(const QString &text) {
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (boundaries.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

} // namespace

XMLDropFile::Services XMLDropFile::Services::standard() {
    return {
        .clock = platform::Clock::system(),
        .announce = [] { ExtensionBridge::post(ExtensionBridge::DarwinNotification::xmlDropped); },
    };
}

XMLDropFile::XMLDropFile(Services services) : services_(std::move(services)) {}

std::string XMLDropFile::fileName(platform::Clock::WallTime time) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char stamp[64];
    // The internet date-time form with every ":" as "-", which file names elsewhere refuse.
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H-%M-%SZ", &utc);
    return "drop-" + std::string(stamp) + ".fcpxml";
}

XMLDropFile::Outcome XMLDropFile::save(const QString &xml) const {
    const std::optional<std::filesystem::path> container = ExtensionBridge::containerURL();
    if (!container) {
        return {"Couldn't reach the shared container", std::nullopt};
    }
    const std::filesystem::path folder = *container / ExtensionBridge::groundTruthDropsFolder;
    const std::string name = fileName(services_.clock->now());
    std::error_code folderError;
    std::filesystem::create_directories(folder, folderError);
    if (folderError) {
        return {"Failed to save: Cannot create the folder \"" + folder.string() +
                    "\": " + folderError.message(),
                std::nullopt};
    }
    try {
        AtomicFileWriter::write(folder / name, xml.toUtf8().toStdString());
    } catch (const std::system_error &error) {
        return {"Failed to save: " + std::string(error.what()), std::nullopt};
    }
    services_.announce();
    return {"Saved " + name + " (" + std::to_string(characterCount(xml)) + " chars)",
            folder / name};
}

} // namespace tandrel
