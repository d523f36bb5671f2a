#include "timecode/av/MovieFileWriter.h"

#include "timecode/av/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace timecode {

namespace {

[[noreturn]] void fail(const char *what, const std::filesystem::path &path) {
    throw std::system_error(errno, std::generic_category(), what + path.string());
}

} // namespace

FileMovieWriter::FileMovieWriter(const std::filesystem::path &path)
    : path_(path), descriptor_(openRegularFile(path, O_RDWR)) {}

FileMovieWriter::~FileMovieWriter() {
    ::close(descriptor_);
}

uint64_t FileMovieWriter::size() {
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) {
        fail("cannot examine ", path_);
    }
    return static_cast<uint64_t>(status.st_size);
}

void FileMovieWriter::write(uint64_t offset, std::span<const uint8_t> bytes) {
    writeAllAt(descriptor_, offset, bytes, "cannot write " + path_.string());
}

void FileMovieWriter::truncate(uint64_t size) {
    if (::ftruncate(descriptor_, static_cast<off_t>(size)) != 0) {
        fail("cannot cut back ", path_);
    }
}

void FileMovieWriter::synchronize() {
    if (::fsync(descriptor_) != 0) {
        fail("cannot flush ", path_);
    }
}

} // namespace timecode
