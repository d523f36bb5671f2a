#include "core/support/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace tandrel {

namespace {

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

RegularFileRead tooLarge(int fd, uint64_t atLeast) {
    struct stat status {};
    const uint64_t size =
        ::fstat(fd, &status) == 0 && status.st_size > 0 ? static_cast<uint64_t>(status.st_size) : 0;
    const uint64_t count = std::min<uint64_t>(std::max(size, atLeast), INT64_MAX);
    return {RegularFileRead::Status::tooLarge, {}, static_cast<int64_t>(count),
            std::make_error_code(std::errc::file_too_large)};
}

RegularFileRead notReadable(std::errc why) {
    return {RegularFileRead::Status::notReadable, {}, 0, std::make_error_code(why)};
}

} // namespace

RegularFileRead readRegularFile(const std::filesystem::path &path, uint64_t maxBytes,
                                LinkAtPath linkAtPath) {
    const int noFollow = linkAtPath == LinkAtPath::refuse ? O_NOFOLLOW : 0;
    const Descriptor file{
        ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | noFollow)};
    if (file.fd < 0) {
        return notReadable(static_cast<std::errc>(errno));
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0) {
        return notReadable(static_cast<std::errc>(errno));
    }
    if (!S_ISREG(status.st_mode) || status.st_size < 0) {
        return notReadable(std::errc::invalid_argument);
    }
    if (static_cast<uint64_t>(status.st_size) > maxBytes) {
        return tooLarge(file.fd, 0);
    }
    RegularFileRead result{RegularFileRead::Status::read, {}, 0, {}};
    result.bytes.reserve(static_cast<size_t>(status.st_size));
    std::array<char, 65536> chunk{};
    for (;;) {
        // One byte beyond the limit is enough to know the file is too large.
        const uint64_t room = maxBytes - std::min<uint64_t>(result.bytes.size(), maxBytes) + 1;
        const ssize_t count = ::read(file.fd, chunk.data(),
                                     static_cast<size_t>(std::min<uint64_t>(chunk.size(), room)));
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return notReadable(static_cast<std::errc>(errno));
        }
        if (count == 0) {
            break;
        }
        result.bytes.append(chunk.data(), static_cast<size_t>(count));
        if (result.bytes.size() > maxBytes) {
            return tooLarge(file.fd, result.bytes.size());
        }
    }
    result.byteCount = static_cast<int64_t>(result.bytes.size());
    return result;
}

} // namespace tandrel
