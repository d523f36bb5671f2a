#include "core/support/AtomicFileWriter.h"

#include "core/support/Log.h"
#include "core/support/Uuid.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace tandrel {

namespace {

[[noreturn]] void fail(int error, const std::string &what, const std::filesystem::path &path) {
    throw std::system_error(error, std::generic_category(), what + " \"" + path.string() + "\"");
}

// The temporary file until it has been renamed: closed and removed on every failure path.
class TemporaryFile {
public:
    TemporaryFile(const std::filesystem::path &target, FileAccess access) {
        const mode_t mode = fileModeFor(access);
        // A random name that nobody else holds; O_EXCL makes sure of it.
        for (int attempt = 0; attempt < 8 && fd_ < 0; ++attempt) {
            std::string name(".");
            name.append(target.filename().string());
            name.append(".").append(Uuid::random().uuidString(), 0, 8).append(".tmp");
            path_ = target;
            path_.replace_filename(name);
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ < 0 && errno != EEXIST) {
                fail(errno, "Cannot create a temporary file", path_);
            }
        }
        if (fd_ < 0) {
            fail(EEXIST, "Cannot create a temporary file", path_);
        }
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!renamed_) {
            ::unlink(path_.c_str());
        }
    }

    void writeAll(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                fail(errno, "Cannot write", path_);
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    void syncAndClose() {
        if (::fsync(fd_) != 0) {
            fail(errno, "Cannot flush", path_);
        }
        const int fd = fd_;
        fd_ = -1;
        // After a failed close the data may be lost, so it counts as a failed write.
        if (::close(fd) != 0) {
            fail(errno, "Cannot close", path_);
        }
    }

    void renameOver(const std::filesystem::path &target) {
        if (::rename(path_.c_str(), target.c_str()) != 0) {
            fail(errno, "Cannot replace", target);
        }
        renamed_ = true;
    }

private:
    std::filesystem::path path_;
    int fd_ = -1;
    bool renamed_ = false;
};

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
    write(target, bytes, flushFolder, access);
}

void AtomicFileWriter::write(const std::filesystem::path &target, std::string_view bytes,
                             const FolderFlush &flush, FileAccess access) {
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    createFolders(folder, access);

    TemporaryFile temporary(target, access);
    temporary.writeAll(bytes);
    temporary.syncAndClose();
    temporary.renameOver(target);
    // From here on every reader sees the new file: the write is done. A crash before the
    // folder reaches the disk could still bring back the old one, which is worth a warning.
    try {
        flush(folder);
    } catch (const std::system_error &error) {
        logger("com.ostrevale.tandrel", "files")
            ->warn("Wrote {}, but its folder could not be flushed to disk: {}", target.string(),
                   error.what());
    }
}

} // namespace tandrel
