#include "platform/filemanager/FileManager.h"

#include "core/support/FileAccess.h"
#include "core/support/FileDescriptor.h"
#include "core/support/RegularFile.h"
#include "core/support/Uuid.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
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

void FileManager::replaceItem(const std::filesystem::path &from, const std::filesystem::path &to) {
    const std::string tag = tandrel::Uuid::random().uuidString();
    const std::string name = to.filename().string();
    const std::filesystem::path fresh = to.parent_path() / ("." + name + ".new-" + tag);
    const std::filesystem::path aside = to.parent_path() / ("." + name + ".old-" + tag);
    const auto discard = [this](const std::filesystem::path &path) {
        try {
            removeItem(path);
        } catch (const std::system_error &) {
            // Only clutter under a hidden name is left.
        }
    };
    try {
        copyItem(from, fresh);
    } catch (...) {
        discard(fresh);
        throw;
    }
    struct stat status {};
    const bool hadOld = ::lstat(to.c_str(), &status) == 0;
    if (hadOld) {
        try {
            moveItem(to, aside);
        } catch (...) {
            discard(fresh);
            throw;
        }
    }
    try {
        moveItem(fresh, to);
    } catch (...) {
        if (hadOld) {
            try {
                moveItem(aside, to);
            } catch (const std::system_error &) {
                // The old item stays under its hidden name; the first error says what failed.
            }
        }
        discard(fresh);
        throw;
    }
    if (hadOld) {
        discard(aside);
    }
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
