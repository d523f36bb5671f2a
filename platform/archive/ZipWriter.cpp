#include "platform/archive/ZipWriter.h"

#include "platform/archive/Utf8Names.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace platform {

namespace {

struct WriterDeleter {
    void operator()(archive *writer) const { archive_write_free(writer); }
};
struct EntryDeleter {
    void operator()(archive_entry *entry) const { archive_entry_free(entry); }
};

class Packer {
public:
    explicit Packer(const std::filesystem::path &zip) : writer_(archive_write_new()) {
        if (!writer_) {
            throw std::bad_alloc();
        }
        // An archive is never written over an existing file.
        fd_ = ::open(zip.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            throw std::system_error(errno, std::generic_category(),
                                    "Cannot create \"" + zip.string() + "\"");
        }
        check(archive_write_set_format_zip(writer_.get()));
        check(archive_write_zip_set_compression_deflate(writer_.get()));
        check(archive_write_open_fd(writer_.get(), fd_));
    }
    Packer(const Packer &) = delete;
    Packer &operator=(const Packer &) = delete;
    ~Packer() {
        writer_.reset();
        ::close(fd_);
    }

    void add(const std::filesystem::path &path, const std::string &name) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) {
            throw std::system_error(errno, std::generic_category(),
                                    "Cannot read \"" + path.string() + "\"");
        }
        std::unique_ptr<archive_entry, EntryDeleter> entry(archive_entry_new());
        archive_entry_set_pathname(entry.get(), name.c_str());
        archive_entry_set_perm(entry.get(), status.st_mode & 07777);
        if (S_ISDIR(status.st_mode)) {
            archive_entry_set_filetype(entry.get(), AE_IFDIR);
            check(archive_write_header(writer_.get(), entry.get()));
            std::vector<std::string> names;
            for (const auto &child : std::filesystem::directory_iterator(path)) {
                names.push_back(child.path().filename().string());
            }
            std::sort(names.begin(), names.end());
            for (const std::string &child : names) {
                add(path / child, name + "/" + child);
            }
        } else if (S_ISLNK(status.st_mode)) {
            archive_entry_set_filetype(entry.get(), AE_IFLNK);
            archive_entry_set_symlink(entry.get(), std::filesystem::read_symlink(path).c_str());
            check(archive_write_header(writer_.get(), entry.get()));
        } else if (S_ISREG(status.st_mode)) {
            archive_entry_set_filetype(entry.get(), AE_IFREG);
            archive_entry_set_size(entry.get(), status.st_size);
            check(archive_write_header(writer_.get(), entry.get()));
            copyContent(path);
        } else {
            throw std::runtime_error("Cannot pack \"" + path.string() +
                                     "\": not a file, folder or link");
        }
    }

    void finish() { check(archive_write_close(writer_.get())); }

private:
    void copyContent(const std::filesystem::path &path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            throw std::system_error(errno, std::generic_category(),
                                    "Cannot read \"" + path.string() + "\"");
        }
        std::array<char, 1 << 16> buffer{};
        ssize_t count = 0;
        while ((count = ::read(fd, buffer.data(), buffer.size())) > 0) {
            if (archive_write_data(writer_.get(), buffer.data(), static_cast<size_t>(count)) < 0) {
                ::close(fd);
                check(ARCHIVE_FATAL);
            }
        }
        const int error = errno;
        ::close(fd);
        if (count < 0) {
            throw std::system_error(error, std::generic_category(),
                                    "Cannot read \"" + path.string() + "\"");
        }
    }

    void check(int status) {
        if (status < ARCHIVE_WARN) {
            const char *text = archive_error_string(writer_.get());
            throw std::runtime_error(std::string("Cannot write the archive: ") +
                                     (text != nullptr ? text : "unknown error"));
        }
    }

    std::unique_ptr<archive, WriterDeleter> writer_;
    int fd_ = -1;
};

} // namespace

void ZipWriter::writeFolder(const std::filesystem::path &folder, const std::filesystem::path &zip) {
    try {
        const Utf8Names names;
        Packer packer(zip);
        packer.add(folder, folder.filename().string());
        packer.finish();
    } catch (const std::system_error &error) {
        // Not our file when it existed before.
        if (error.code() != std::errc::file_exists) {
            std::error_code ignored;
            std::filesystem::remove(zip, ignored);
        }
        throw;
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(zip, ignored);
        throw;
    }
}

} // namespace platform
