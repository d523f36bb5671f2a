#include "core/support/AtomicFileWriter.h"

#include "core/support/FileDescriptor.h"
#include "core/support/Log.h"
#include "core/support/Uuid.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace tandrel {

namespace {

[[noreturn]] void fail(int error, const std::string &what, const std::filesystem::path &path) {
    throw std::system_error(error, std::generic_category(), what + " \"" + path.string() + "\"");
}

// ".current.json.1a2b3c4d.tmp": hidden, and never taken for the file itself.
std::string temporaryPrefix(const std::string &target) {
    return "." + target + ".";
}
constexpr std::string_view temporarySuffix = ".tmp";
constexpr std::size_t temporaryStampLength = 8;

bool isTemporaryOf(const std::string &entry, const std::string &target) {
    const std::string prefix = temporaryPrefix(target);
    return entry.size() == prefix.size() + temporaryStampLength + temporarySuffix.size() &&
           entry.starts_with(prefix) && entry.ends_with(temporarySuffix);
}

// Whether the entry `name` of the folder is the very file the descriptor holds.
bool namesFile(int folder, const std::string &name, int fd) {
    struct stat named {};
    struct stat held {};
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstat(fd, &held) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

// A writer holds an exclusive lock on its temporary file from the moment it has a name until it
// is renamed over the target (a killed writer's lock goes with it): a temporary file whose lock
// can be had is one a writer left behind, and goes. Leftovers would otherwise stay for good,
// since no later write takes the same name.
void removeLeftovers(int folder, const std::string &target) {
    const int listed = ::dup(folder);
    if (listed < 0) {
        return;
    }
    DIR *entries = ::fdopendir(listed);
    if (entries == nullptr) {
        ::close(listed);
        return;
    }
    std::vector<std::string> candidates;
    while (const dirent *entry = ::readdir(entries)) {
        if (isTemporaryOf(entry->d_name, target)) {
            candidates.emplace_back(entry->d_name);
        }
    }
    ::closedir(entries);
    for (const std::string &name : candidates) {
        const FileDescriptor fd(
            ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (fd.get() >= 0 && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 &&
            namesFile(folder, name, fd.get())) {
            ::unlinkat(folder, name.c_str(), 0);
        }
    }
}

// The temporary file until it has been renamed: closed and removed on every failure path.
class TemporaryFile {
public:
    TemporaryFile(int folder, const std::filesystem::path &target, FileAccess access)
        : folder_(folder), target_(target) {
        const mode_t mode = fileModeFor(access);
        const std::string base = target.filename().string();
        // A random name that nobody else holds (O_EXCL makes sure of it), locked before anybody
        // could take it for a leftover: one that was taken away between the two is given up.
        for (int attempt = 0; attempt < 8 && fd_ < 0; ++attempt) {
            name_ = temporaryPrefix(base) +
                    Uuid::random().uuidString().substr(0, temporaryStampLength) +
                    std::string(temporarySuffix);
            const int fd =
                ::openat(folder_, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd < 0) {
                if (errno != EEXIST) {
                    fail(errno, "Cannot create a temporary file", target.parent_path() / name_);
                }
                continue;
            }
            // The lock is held through a description of its own, so that the file can be
            // closed (and a failed close seen) before the rename.
            FileDescriptor lock(
                ::openat(folder_, name_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
            if (lock.get() >= 0 && ::flock(lock.get(), LOCK_EX | LOCK_NB) == 0 &&
                namesFile(folder_, name_, fd)) {
                fd_ = fd;
                lock_ = std::move(lock);
            } else {
                ::close(fd);
            }
        }
        if (fd_ < 0) {
            fail(EEXIST, "Cannot create a temporary file", target.parent_path() / name_);
        }
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    ~TemporaryFile() {
        if (!renamed_) {
            ::unlinkat(folder_, name_.c_str(), 0);
        }
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    void writeAll(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                fail(errno, "Cannot write", target_.parent_path() / name_);
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    void syncAndClose() {
        if (::fsync(fd_) != 0) {
            fail(errno, "Cannot flush", target_.parent_path() / name_);
        }
        const int fd = fd_;
        fd_ = -1;
        // After a failed close the data may be lost, so it counts as a failed write.
        if (::close(fd) != 0) {
            fail(errno, "Cannot close", target_.parent_path() / name_);
        }
    }

    // The lock is held until here, so that no other writer takes the file for a leftover.
    void renameOverTarget() {
        if (::renameat(folder_, name_.c_str(), folder_, target_.filename().c_str()) != 0) {
            fail(errno, "Cannot replace", target_);
        }
        renamed_ = true;
    }

private:
    int folder_;
    std::filesystem::path target_;
    std::string name_;
    int fd_ = -1;
    FileDescriptor lock_{-1};
    bool renamed_ = false;
};

void replace(int folder, const std::filesystem::path &target, std::string_view bytes,
             FileAccess access, const std::function<void()> &flushFolder) {
    removeLeftovers(folder, target.filename().string());
    TemporaryFile temporary(folder, target, access);
    temporary.writeAll(bytes);
    temporary.syncAndClose();
    temporary.renameOverTarget();
    // From here on every reader sees the new file: the write is done. A crash before the
    // folder reaches the disk could still bring back the old one, which is worth a warning.
    try {
        flushFolder();
    } catch (const std::system_error &error) {
        logger("com.ostrevale.tandrel", "files")
            ->warn("Wrote {}, but its folder could not be flushed to disk: {}", target.string(),
                   error.what());
    }
}

} // namespace

void AtomicFileWriter::flushFolder(const std::filesystem::path &folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        fail(errno, "Cannot open the folder", folder);
    }
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot flush a folder at all (EINVAL); there is nothing more to do.
    if (result != 0 && error != EINVAL) {
        fail(error, "Cannot flush the folder", folder);
    }
}

void AtomicFileWriter::write(const std::filesystem::path &target, std::string_view bytes,
                             FileAccess access) {
    write(target, bytes, FolderFlush(), access);
}

void AtomicFileWriter::write(const std::filesystem::path &target, std::string_view bytes,
                             const FolderFlush &flush, FileAccess access) {
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    if (access == FileAccess::userOnly) {
        const PrivateFolder checked = PrivateFolder::open(folder, PrivateFolder::Missing::create);
        write(checked, target.filename().string(), bytes, flush);
        return;
    }
    createFolders(folder, access);
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        fail(errno, "Cannot open the folder", folder);
    }
    replace(fd.get(), folder / target.filename(), bytes, access, [&] {
        if (flush) {
            flush(folder);
        } else if (::fsync(fd.get()) != 0 && errno != EINVAL) {
            fail(errno, "Cannot flush the folder", folder);
        }
    });
}

void AtomicFileWriter::write(const PrivateFolder &folder, const std::string &name,
                             std::string_view bytes, const FolderFlush &flush) {
    replace(folder.descriptor(), folder.path() / name, bytes, FileAccess::userOnly, [&] {
        std::error_code error;
        if (flush) {
            flush(folder.path());
        } else if (!folder.flush(error)) {
            throw std::system_error(error,
                                    "Cannot flush the folder \"" + folder.path().string() + "\"");
        }
    });
}

} // namespace tandrel
