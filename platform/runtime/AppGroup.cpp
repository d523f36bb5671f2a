#include "platform/runtime/AppGroup.h"

#include "core/support/ApplicationSupport.h"

#include <QString>

#include <stdexcept>
#include <system_error>

namespace platform {

std::optional<std::filesystem::path> AppGroup::containerURL(const std::string &identifier) {
    if (identifier.empty() || identifier == "." || identifier == ".." ||
        identifier.find('/') != std::string::npos) {
        return std::nullopt;
    }
    std::filesystem::path folder;
    try {
        folder = tandrel::applicationSupportDirectory() / identifier;
    } catch (const std::runtime_error &) {
        return std::nullopt;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        return std::nullopt;
    }
    return folder;
}

std::shared_ptr<KeyValueStore> AppGroup::suite(const std::string &identifier) {
    const auto container = containerURL(identifier);
    if (!container) {
        return nullptr;
    }
    return SettingsKeyValueStore::iniFile(
        QString::fromStdString((*container / (identifier + ".ini")).string()));
}

} // namespace platform
