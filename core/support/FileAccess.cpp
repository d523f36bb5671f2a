#include "core/support/FileAccess.h"

#include <sys/stat.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace tandrel {

void createFolders(const std::filesystem::path &folder, FileAccess access) {
    if (access == FileAccess::standard) {
        std::filesystem::create_directories(folder);
        return;
    }
    // The missing folders, innermost first; a dangling link counts as missing, and fails below.
    std::vector<std::filesystem::path> missing;
    std::error_code error;
    for (std::filesystem::path level = folder;
         !level.empty() && !std::filesystem::exists(level, error); level = level.parent_path()) {
        missing.push_back(level);
        if (level == level.parent_path()) {
            break;
        }
    }
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
        // 0700 whatever the umask allows beyond it; another process making it meanwhile is fine.
        if (::mkdir(level->c_str(), S_IRWXU) != 0) {
            const int failure = errno;
            if (failure != EEXIST || !std::filesystem::is_directory(*level, error)) {
                throw std::filesystem::filesystem_error(
                    "Cannot create the folder", *level,
                    std::error_code(failure, std::generic_category()));
            }
        }
    }
    if (!std::filesystem::is_directory(folder, error)) {
        throw std::filesystem::filesystem_error(
            "Cannot create the folder", folder,
            error ? error : std::make_error_code(std::errc::not_a_directory));
    }
}

bool restrictToUser(const std::filesystem::path &file, std::error_code &error) noexcept {
    error.clear();
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) {
        if (errno == ENOENT) {
            return true;
        }
        error.assign(errno, std::generic_category());
        return false;
    }
    const mode_t wanted = status.st_mode & ~static_cast<mode_t>(S_IRWXG | S_IRWXO);
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0 && ::chmod(file.c_str(), wanted & 07777) != 0) {
        error.assign(errno, std::generic_category());
        return false;
    }
    return true;
}

} // namespace tandrel
