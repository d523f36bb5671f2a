#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace timecode {

// Opens the file at the path with the access flags (O_RDONLY or O_RDWR) without ever waiting
// on it: the open does not block, and what it opened is examined before a byte is read, so a
// FIFO or a device named like a movie (or a link to one) is refused at once instead of keeping
// its reader waiting. The descriptor answered blocks as usual; the caller closes it. Throws
// std::system_error naming the path when the file cannot be opened or examined, and
// MovieFormatError ("not a regular file") for anything but a regular file.
int openRegularFile(const std::filesystem::path &path, int accessFlags);

// Writes all of the bytes at the offset, however many writes it takes; throws
// std::system_error with `what` ("cannot write <the movie>", say) when one fails.
void writeAllAt(int descriptor, uint64_t offset, std::span<const uint8_t> bytes,
                const std::string &what);

} // namespace timecode
