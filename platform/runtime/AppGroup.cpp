#include "platform/runtime/AppGroup.h"

#include "core/support/ApplicationSupport.h"
#include "core/support/FileAccess.h"

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
    try {
        tandrel::createFolders(folder, tandrel::FileAccess::userOnly);
    } catch (const std::filesystem::filesystem_error &) {
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
        QString::fromStdString((*container / (identifier + ".ini")).string()),
        tandrel::FileAccess::userOnly);
}

} // namespace platform
