#include "timecode/av/RegularFile.h"

#include "timecode/av/MovieFormatError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace timecode {

int openRegularFile(const std::filesystem::path &path, int accessFlags) {
    const int descriptor = ::open(path.c_str(), accessFlags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        throw std::system_error(errno, std::generic_category(), "open " + path.string());
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        const int error = errno;
        ::close(descriptor);
        throw std::system_error(error, std::generic_category(), "stat " + path.string());
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(descriptor);
        throw MovieFormatError("not a regular file");
    }
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(descriptor);
        throw std::system_error(error, std::generic_category(), "open " + path.string());
    }
    return descriptor;
}

void writeAllAt(int descriptor, uint64_t offset, std::span<const uint8_t> bytes,
                const std::string &what) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::pwrite(descriptor, bytes.data() + done, bytes.size() - done,
                                       static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            throw std::system_error(errno, std::generic_category(), what);
        }
        done += static_cast<size_t>(count);
    }
}

} // namespace timecode
