#include "core/support/FileAccess.h"

#include "core/support/FileDescriptor.h"
#include "core/support/Log.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace tandrel {

namespace {

// Changes the mode of what the descriptor (opened with O_PATH, so never a link's target)
// names. fchmod refuses such descriptors; the descriptor's entry in /proc names the very file
// it holds, not the path again. Without /proc, the file is opened anew without following a
// link and must be the same one.
int changeMode(const std::filesystem::path &path, int fd, const struct stat &status, mode_t mode) {
    const std::string entry = "/proc/self/fd/" + std::to_string(fd);
    if (::chmod(entry.c_str(), mode) == 0) {
        return 0;
    }
    if (errno != ENOENT) {
        return errno;
    }
    if (!S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode)) {
        return EOPNOTSUPP;
    }
    const FileDescriptor opened(
        ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat now {};
    if (opened.get() < 0) {
        return errno;
    }
    if (::fstat(opened.get(), &now) != 0) {
        return errno;
    }
    if (now.st_dev != status.st_dev || now.st_ino != status.st_ino) {
        return ESTALE;
    }
    return ::fchmod(opened.get(), mode) == 0 ? 0 : errno;
}

// Why another user may change what the folder holds or put something in its place: its owner
// or its mode; a folder above (`above`) may be everybody's with the sticky bit.
std::optional<std::string> openToOthers(const std::string &name, const struct stat &status,
                                        bool above) {
    if (status.st_uid != ::geteuid() && status.st_uid != 0) {
        return name + ": belongs to another user (user ID " + std::to_string(status.st_uid) + ")";
    }
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (above && (status.st_mode & S_ISVTX) != 0)) {
        return std::nullopt;
    }
    char mode[8];
    std::snprintf(mode, sizeof mode, "0%03o", static_cast<unsigned>(status.st_mode & 07777));
    return name + ": writable by " + ((status.st_mode & S_IWOTH) != 0 ? "everybody" : "its group") +
           " (permissions " + mode + ")";
}

// "nobody", or "uid 1234" for an account without a name.
std::string userName(uid_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_name != nullptr && found->pw_name[0] != '\0') {
        return found->pw_name;
    }
    return "uid " + std::to_string(uid);
}

} // namespace

std::optional<std::string> othersMayWrite(const std::filesystem::path &folder) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(folder, error).lexically_normal();
    if (absolute.has_relative_path() && absolute.filename().empty()) {
        absolute = absolute.parent_path();
    }
    const std::filesystem::path physical = std::filesystem::weakly_canonical(absolute, error);
    if (error) {
        return absolute.string() + ": cannot be examined (" + error.message() + ")";
    }
    // From the root down, as the path names the folders and as they are on disk: a folder
    // judged safe cannot be swapped afterwards, so neither can the next one below it. Where
    // the path ends in folders still to be made, the last one there is the one they go in.
    for (const std::filesystem::path &path : {absolute, physical}) {
        std::filesystem::path level;
        for (const std::filesystem::path &part : path) {
            level /= part;
            struct stat status {};
            if (::lstat(level.c_str(), &status) != 0) {
                if (errno == ENOENT) {
                    break;
                }
                return level.string() + ": cannot be examined (" + std::strerror(errno) + ")";
            }
            if (S_ISLNK(status.st_mode)) {
                if (status.st_uid != ::geteuid() && status.st_uid != 0) {
                    return level.string() + ": a link that belongs to another user (user ID " +
                           std::to_string(status.st_uid) + ")";
                }
                if (::stat(level.c_str(), &status) != 0) {
                    return level.string() + ": cannot be examined (" + std::strerror(errno) + ")";
                }
            }
            if (!S_ISDIR(status.st_mode)) {
                return level.string() + ": not a folder";
            }
            if (auto why = openToOthers(level.string(), status, level != path)) {
                return why;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> whyNotOursAlone(const struct stat &status) {
    if (status.st_uid != ::geteuid()) {
        return "it belongs to another user (" + userName(status.st_uid) + ")";
    }
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
        return std::string((status.st_mode & S_IWOTH) != 0 ? "others" : "its group") +
               " may write it (permissions " + mode + ")";
    }
    return std::nullopt;
}

mode_t fileModeFor(FileAccess access) noexcept {
    return access == FileAccess::userOnly ? 0600 : 0644;
}

mode_t folderModeFor(FileAccess access) noexcept {
    return access == FileAccess::userOnly ? 0700 : 0755;
}

mode_t bitsTakenBy(FileAccess access) noexcept {
    return access == FileAccess::userOnly ? 077 : 022;
}

void createFolders(const std::filesystem::path &folder, FileAccess access) {
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
        // Never wider than the access allows, whatever the umask; another process making it
        // meanwhile is fine.
        if (::mkdir(level->c_str(), folderModeFor(access)) != 0) {
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

bool narrowAccess(const std::filesystem::path &path, FileAccess access,
                  std::error_code &error) noexcept {
    error.clear();
    const FileDescriptor fd(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) {
            return true;
        }
        error.assign(errno, std::generic_category());
        return false;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        error.assign(errno, std::generic_category());
        return false;
    }
    if (S_ISLNK(status.st_mode)) {
        error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
        return false;
    }
    const mode_t taken = bitsTakenBy(access);
    if ((status.st_mode & taken) == 0) {
        return true;
    }
    if (const int failure = changeMode(path, fd.get(), status, status.st_mode & 07777 & ~taken)) {
        error.assign(failure, std::generic_category());
        return false;
    }
    return true;
}

bool restrictToUser(const std::filesystem::path &path, std::error_code &error) noexcept {
    return narrowAccess(path, FileAccess::userOnly, error);
}

void narrowAtStart(
    const std::vector<std::pair<std::filesystem::path, FileAccess>> &paths) noexcept {
    for (const auto &[path, access] : paths) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 ||
            (!S_ISLNK(status.st_mode) &&
             ((status.st_mode & bitsTakenBy(access)) == 0 || (status.st_mode & S_ISVTX) != 0))) {
            continue;
        }
        std::error_code error = std::make_error_code(std::errc::operation_not_permitted);
        if (status.st_uid != ::geteuid() || !narrowAccess(path, access, error)) {
            try {
                logger("com.ostrevale.tandrel", "files")
                    ->warn("{} may be open to others: its mode was not narrowed ({})",
                           path.string(), error.message());
            } catch (...) {
                // Logging is no reason to stop a start.
            }
        }
    }
}

} // namespace tandrel
