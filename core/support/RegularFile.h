#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>

namespace tandrel {

// What reading a file from outside gave.
struct RegularFileRead {
    enum class Status {
        read,
        // Missing, not a regular file (a folder, a FIFO, a device, a link to one), or a read
        // that failed.
        notReadable,
        // More than the limit: `byteCount` is the file's size, at least the limit + 1.
        tooLarge,
    };

    Status status = Status::notReadable;
    // The whole file when read.
    std::string bytes;
    int64_t byteCount = 0;
    // Why the file was not read: the system's error (no_such_file_or_directory for a missing
    // file), invalid_argument for what is no regular file, file_too_large beyond the limit.
    std::error_code error;
};

// Whether a symbolic link at the path itself (its last component) is followed or refused;
// links in the folders above it are always followed.
enum class LinkAtPath { follow, refuse };

// Reads the regular file at `path`, at most `maxBytes` of it. The file is opened once and
// without blocking, and everything is decided on the open file: a FIFO or device at the path
// (or behind a link) is refused at once instead of waited on, a size above the limit is
// refused before a byte is read, and a file that grows past the limit while it is read is
// refused after reading no more than the limit + 1 bytes. A refused link at the path is not
// readable (the error is too_many_symbolic_link_levels).
RegularFileRead readRegularFile(const std::filesystem::path &path, uint64_t maxBytes,
                                LinkAtPath linkAtPath = LinkAtPath::follow);
// The same for a file already open: the descriptor is taken over, and closed.
RegularFileRead readRegularFile(int fd, uint64_t maxBytes);

// The same file read a piece at a time, for a reader that need not hold it whole: opened and
// checked as readRegularFile does, and refused the same way when it grows past the limit.
class RegularFileStream {
public:
    RegularFileStream(const std::filesystem::path &path, uint64_t maxBytes,
                      LinkAtPath linkAtPath = LinkAtPath::follow);
    // Over a file already open (-1 with errno set for one that failed to open): the descriptor
    // is the stream's, closed with it.
    RegularFileStream(int fd, uint64_t maxBytes);
    ~RegularFileStream();
    RegularFileStream(const RegularFileStream &) = delete;
    RegularFileStream &operator=(const RegularFileStream &) = delete;

    // `read` while the file can be read; why not once opening, a check or a read failed, with
    // `error` and, for tooLarge, `byteCount` as readRegularFile gives them.
    RegularFileRead::Status status() const { return failure_.status; }
    const RegularFileRead &failure() const { return failure_; }
    // The file's size when it was opened.
    uint64_t size() const { return size_; }

    // Fills the start of `buffer` with the next bytes: how many, 0 at the end of the file and
    // once it failed (status() says which).
    size_t read(std::span<char> buffer);

private:
    void check();

    int fd_ = -1;
    uint64_t maxBytes_;
    uint64_t size_ = 0;
    uint64_t consumed_ = 0;
    RegularFileRead failure_;
};

} // namespace tandrel
