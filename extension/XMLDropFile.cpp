#include "extension/XMLDropFile.h"

#include "core/support/AtomicFileWriter.h"
#include "core/support/FileAccess.h"
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

std::string XMLDropFile::fileName(platform::Clock::WallTime time, int dropOfTheSecond) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(time));
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char stamp[64];
    // The internet date-time form with every ":" as "-", which file names elsewhere refuse.
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H-%M-%SZ", &utc);
    std::string name = "drop-" + std::string(stamp);
    if (dropOfTheSecond > 1) {
        name += '-';
        name += std::to_string(dropOfTheSecond);
    }
    return name + ".fcpxml";
}

XMLDropFile::Outcome XMLDropFile::save(const QString &xml) const {
    std::string problem;
    const std::optional<std::filesystem::path> container = ExtensionBridge::containerURL(&problem);
    if (!container) {
        return {problem.empty() ? std::string("Couldn't reach the shared container")
                                : "Couldn't reach the shared container: " + problem,
                std::nullopt};
    }
    const std::filesystem::path folder = *container / ExtensionBridge::groundTruthDropsFolder;
    try {
        createFolders(folder, FileAccess::userOnly);
    } catch (const std::filesystem::filesystem_error &error) {
        return {"Failed to save: Cannot create the folder \"" + folder.string() +
                    "\": " + error.code().message(),
                std::nullopt};
    }
    // Any entry of the name, a folder or a link too, takes it.
    const auto taken = [&folder](const std::string &candidate) {
        std::error_code unknown;
        return std::filesystem::exists(
            std::filesystem::symlink_status(folder / candidate, unknown));
    };
    const platform::Clock::WallTime now = services_.clock->now();
    std::string name = fileName(now);
    for (int drop = 2; taken(name); ++drop) {
        name = fileName(now, drop);
    }
    try {
        AtomicFileWriter::write(folder / name, xml.toUtf8().toStdString(), FileAccess::userOnly);
    } catch (const std::system_error &error) {
        return {"Failed to save: " + std::string(error.what()), std::nullopt};
    }
    services_.announce();
    return {"Saved " + name + " (" + std::to_string(characterCount(xml)) + " chars)",
            folder / name};
}

} // namespace tandrel
