#include "timecode/av/MovieByteSource.h"

#include "timecode/av/MovieFormatError.h"
#include "timecode/av/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace timecode {

namespace {

void requireRange(uint64_t offset, size_t count, uint64_t size) {
    if (offset > size || count > size - offset) {
        throw MovieFormatError("file ends inside a box");
    }
}

} // namespace

void MemoryByteSource::read(uint64_t offset, std::span<uint8_t> into) const {
    requireRange(offset, into.size(), bytes_.size());
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), into.size(), into.begin());
}

FileByteSource::FileByteSource(const std::filesystem::path &path)
    : descriptor_(openRegularFile(path, O_RDONLY)), size_(0) {
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) {
        const int error = errno;
        ::close(descriptor_);
        throw std::system_error(error, std::generic_category(), "stat " + path.string());
    }
    size_ = static_cast<uint64_t>(status.st_size);
}

FileByteSource::~FileByteSource() {
    ::close(descriptor_);
}

void FileByteSource::read(uint64_t offset, std::span<uint8_t> into) const {
    requireRange(offset, into.size(), size_);
    size_t done = 0;
    while (done < into.size()) {
        const ssize_t count = ::pread(descriptor_, into.data() + done, into.size() - done,
                                      static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            throw std::system_error(errno, std::generic_category(), "read");
        }
        if (count == 0) {
            throw MovieFormatError("file ends inside a box");
        }
        done += static_cast<size_t>(count);
    }
}

} // namespace timecode
