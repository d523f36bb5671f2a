#pragma once

#include <cstdint>
#include <filesystem>
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

} // namespace tandrel
