#include "platform/filemanager/FileManager.h"

#include "core/support/FileAccess.h"
#include "core/support/FileDescriptor.h"
#include "core/support/RegularFile.h"
#include "core/support/Uuid.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <exception>
#include <string_view>
#include <system_error>
#include <vector>

namespace platform {

namespace {

std::string quoted(const std::filesystem::path &path) {
    std::string text(1, '"');
    text.append(path.native()).push_back('"');
    return text;
}

[[noreturn]] void fail(int error, const std::string &what) {
    throw std::system_error(error, std::generic_category(), what);
}

// Permission bits without the set-user-ID, set-group-ID and sticky bits, and without write
// access for the group and others: what is installed is changed by its owner only.
constexpr mode_t plainPermissions(mode_t mode) {
    return mode & 0755;
}

void copyFile(const std::filesystem::path &from, const std::filesystem::path &to) {
    const std::string what = "Cannot copy " + quoted(from) + " to " + quoted(to);
    tandrel::FileDescriptor source(
        ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (source.get() < 0) {
        fail(errno, what);
    }
    struct stat status {};
    if (::fstat(source.get(), &status) != 0) {
        fail(errno, what);
    }
    if (!S_ISREG(status.st_mode)) {
        fail(EINVAL, what + " (not a regular file)");
    }
    tandrel::FileDescriptor target(::open(to.c_str(),
                                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                          plainPermissions(status.st_mode)));
    if (target.get() < 0) {
        fail(errno, what);
    }
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t count = ::read(source.get(), buffer.data(), buffer.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(errno, what);
        }
        if (count == 0) {
            break;
        }
        std::string_view rest(buffer.data(), static_cast<std::size_t>(count));
        while (!rest.empty()) {
            const ssize_t written = ::write(target.get(), rest.data(), rest.size());
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                fail(errno, what);
            }
            rest.remove_prefix(static_cast<std::size_t>(written));
        }
    }
    // The umask may have taken bits away at creation.
    if (::fchmod(target.get(), plainPermissions(status.st_mode)) != 0 || target.close() != 0) {
        fail(errno, what);
    }
}

void copyLink(const std::filesystem::path &from, const std::filesystem::path &to) {
    const std::string what = "Cannot copy " + quoted(from) + " to " + quoted(to);
    std::vector<char> target(PATH_MAX + 1);
    const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
    if (length < 0) {
        fail(errno, what);
    }
    if (static_cast<std::size_t>(length) >= target.size()) {
        fail(ENAMETOOLONG, what);
    }
    target[static_cast<std::size_t>(length)] = '\0';
    if (::symlink(target.data(), to.c_str()) != 0) {
        fail(errno, what);
    }
}

std::vector<std::string> folderEntries(const std::filesystem::path &folder) {
    DIR *stream = ::opendir(folder.c_str());
    if (stream == nullptr) {
        fail(errno, "Cannot list " + quoted(folder));
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent *entry = ::readdir(stream)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    const int error = errno;
    ::closedir(stream);
    if (error != 0) {
        fail(error, "Cannot list " + quoted(folder));
    }
    return names;
}

void copyTree(const std::filesystem::path &from, const std::filesystem::path &to) {
    struct stat status {};
    if (::lstat(from.c_str(), &status) != 0) {
        fail(errno, "Cannot copy " + quoted(from));
    }
    if (S_ISLNK(status.st_mode)) {
        copyLink(from, to);
    } else if (S_ISREG(status.st_mode)) {
        copyFile(from, to);
    } else if (S_ISDIR(status.st_mode)) {
        // Private while it fills, its own permissions once complete.
        if (::mkdir(to.c_str(), 0700) != 0) {
            fail(errno, "Cannot create " + quoted(to));
        }
        for (const std::string &name : folderEntries(from)) {
            copyTree(from / name, to / name);
        }
        if (::chmod(to.c_str(), plainPermissions(status.st_mode)) != 0) {
            fail(errno, "Cannot set the permissions of " + quoted(to));
        }
    } else {
        fail(EINVAL, "Cannot copy " + quoted(from) + " (not a file, link or folder)");
    }
}

} // namespace

FileManager &FileManager::standard() {
    static FileManager manager;
    return manager;
}

void FileManager::copyItem(const std::filesystem::path &from, const std::filesystem::path &to) {
    copyTree(from, to);
}

void FileManager::moveItem(const std::filesystem::path &from, const std::filesystem::path &to) {
    // RENAME_NOREPLACE closes the gap between looking at `to` and renaming onto it.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return;
    }
    int error = errno;
    if (error == EINVAL) {
        // A file system without the flag: look, then rename.
        struct stat status {};
        if (::lstat(to.c_str(), &status) == 0) {
            error = EEXIST;
        } else if (::rename(from.c_str(), to.c_str()) == 0) {
            return;
        } else {
            error = errno;
        }
    }
    fail(error, "Cannot move " + quoted(from) + " to " + quoted(to));
}

void FileManager::removeItem(const std::filesystem::path &at) {
    // remove_all removes a link itself and does not descend through it.
    std::error_code error;
    std::filesystem::remove_all(at, error);
    if (error) {
        fail(error.value(), "Cannot remove " + quoted(at));
    }
}

void FileManager::createDirectories(const std::filesystem::path &at) {
    try {
        tandrel::createFolders(at, tandrel::FileAccess::standard);
    } catch (const std::filesystem::filesystem_error &error) {
        fail(error.code().value(), "Cannot create " + quoted(at));
    }
}

void FileManager::exchangeItems(const std::filesystem::path &a, const std::filesystem::path &b) {
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) != 0) {
        fail(errno, "Cannot swap " + quoted(a) + " and " + quoted(b));
    }
}

namespace {

constexpr std::string_view stagingMark = ".new-";
// The old item's name inside the staging folder, where the file system cannot swap.
constexpr const char *oldItemName = "old";

constexpr std::string_view olderReleasesAsideMark = ".old-";

// ".<name>" and the mark, then 36 characters of an upper-case UUID.
bool isLeftoverName(std::string_view entry, std::string_view name, std::string_view mark) {
    const std::size_t prefix = 1 + name.size() + mark.size();
    if (entry.size() != prefix + 36 || entry.substr(0, 1) != "." ||
        entry.substr(1, name.size()) != name ||
        entry.substr(1 + name.size(), mark.size()) != mark) {
        return false;
    }
    for (const char c : entry.substr(prefix)) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == '-')) {
            return false;
        }
    }
    return true;
}

} // namespace

void FileManager::replaceItem(const std::filesystem::path &from, const std::filesystem::path &to) {
    const std::string name = to.filename().string();
    const std::filesystem::path folder = to.parent_path();
    const auto discard = [this](const std::filesystem::path &path) {
        try {
            removeItem(path);
        } catch (const std::system_error &) {
            // Only clutter under a hidden name is left, for the next replacement.
        }
    };
    // What a replacement that died left: its folder, no longer locked. An old item in it goes
    // back where nothing took its place. An older release moved the old item aside under
    // ".<name>.old-<UUID>", unlocked, and left it there when it died before the copy was in.
    std::vector<std::filesystem::path> staged;
    std::vector<std::filesystem::path> aside;
    std::error_code listing;
    for (const auto &entry : std::filesystem::directory_iterator(folder, listing)) {
        const std::string entryName = entry.path().filename().string();
        if (isLeftoverName(entryName, name, stagingMark)) {
            staged.push_back(entry.path());
        } else if (isLeftoverName(entryName, name, olderReleasesAsideMark)) {
            aside.push_back(entry.path());
        }
    }
    const auto nothingAt = [&to] {
        struct stat there {};
        return ::lstat(to.c_str(), &there) != 0 && errno == ENOENT;
    };
    for (const std::filesystem::path &leftover : staged) {
        const tandrel::FileDescriptor held(
            ::open(leftover.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat status {};
        if (held.get() < 0 || ::fstat(held.get(), &status) != 0 || status.st_uid != ::geteuid() ||
            ::flock(held.get(), LOCK_EX | LOCK_NB) != 0) {
            continue;
        }
        struct stat old {};
        if (nothingAt() && ::lstat((leftover / oldItemName).c_str(), &old) == 0) {
            try {
                moveItem(leftover / oldItemName, to);
            } catch (const std::system_error &) {
                continue;
            }
        }
        discard(leftover);
    }
    for (const std::filesystem::path &leftover : aside) {
        struct stat status {};
        if (::lstat(leftover.c_str(), &status) != 0 || status.st_uid != ::geteuid()) {
            continue;
        }
        if (nothingAt()) {
            try {
                moveItem(leftover, to);
            } catch (const std::system_error &) {
            }
            continue;
        }
        discard(leftover);
    }

    const std::filesystem::path staging =
        folder / ("." + name + std::string(stagingMark) + tandrel::Uuid::random().uuidString());
    if (::mkdir(staging.c_str(), 0700) != 0) {
        fail(errno, "Cannot create " + quoted(staging));
    }
    // Held while this runs, so that another replacement never takes the folder for a leftover.
    const tandrel::FileDescriptor lock(
        ::open(staging.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (lock.get() < 0 || ::flock(lock.get(), LOCK_EX) != 0) {
        const int error = errno;
        discard(staging);
        fail(error, "Cannot lock " + quoted(staging));
    }
    const std::filesystem::path fresh = staging / name;
    try {
        copyItem(from, fresh);
    } catch (...) {
        discard(staging);
        throw;
    }
    struct stat status {};
    if (::lstat(to.c_str(), &status) != 0) {
        try {
            moveItem(fresh, to);
        } catch (...) {
            discard(staging);
            throw;
        }
        discard(staging);
        return;
    }
    try {
        exchangeItems(fresh, to);
    } catch (const std::system_error &error) {
        if (error.code() != std::errc::invalid_argument) {
            discard(staging);
            throw;
        }
        // A file system that cannot swap: aside, then in.
        const std::filesystem::path aside = staging / oldItemName;
        try {
            moveItem(to, aside);
        } catch (...) {
            discard(staging);
            throw;
        }
        try {
            moveItem(fresh, to);
        } catch (...) {
            const std::exception_ptr first = std::current_exception();
            try {
                moveItem(aside, to);
                discard(staging);
            } catch (const std::system_error &) {
                // The old item stays in the folder; the next replacement puts it back.
            }
            std::rethrow_exception(first);
        }
    } catch (...) {
        discard(staging);
        throw;
    }
    discard(staging);
}

std::optional<std::string> readRegularFile(const std::filesystem::path &path,
                                           std::size_t maxBytes) {
    tandrel::RegularFileRead read =
        tandrel::readRegularFile(path, maxBytes, tandrel::LinkAtPath::refuse);
    if (read.status != tandrel::RegularFileRead::Status::read) {
        return std::nullopt;
    }
    return std::move(read.bytes);
}

} // namespace platform
