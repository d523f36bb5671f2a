#include "timecode/av/MovieFileWriter.h"

#include "timecode/av/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace timecode {

namespace {

[[noreturn]] void fail(const char *what) {
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

FileMovieWriter::FileMovieWriter(const std::filesystem::path &path)
    : descriptor_(openRegularFile(path, O_RDWR)) {}

FileMovieWriter::~FileMovieWriter() {
    ::close(descriptor_);
}

uint64_t FileMovieWriter::size() {
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) {
        fail("stat");
    }
    return static_cast<uint64_t>(status.st_size);
}

void FileMovieWriter::write(uint64_t offset, std::span<const uint8_t> bytes) {
    writeAllAt(descriptor_, offset, bytes);
}

void FileMovieWriter::truncate(uint64_t size) {
    if (::ftruncate(descriptor_, static_cast<off_t>(size)) != 0) {
        fail("truncate");
    }
}

void FileMovieWriter::synchronize() {
    if (::fsync(descriptor_) != 0) {
        fail("sync");
    }
}

} // namespace timecode
