#include "core/support/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace tandrel {

std::optional<std::string> readRegularFile(const std::filesystem::path &path, std::size_t maxBytes,
                                           std::error_code &error) {
    const auto fail = [&](std::error_code why) -> std::optional<std::string> {
        error = why;
        return std::nullopt;
    };
    const auto failWithErrno = [&] { return fail(std::error_code(errno, std::generic_category())); };

    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return failWithErrno();
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return failWithErrno();
    }
    if (!S_ISREG(status.st_mode)) {
        return fail(std::make_error_code(std::errc::invalid_argument));
    }
    if (status.st_size < 0 || static_cast<std::uintmax_t>(status.st_size) > maxBytes) {
        return fail(std::make_error_code(std::errc::file_too_large));
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(status.st_size));
    std::array<char, 65536> chunk{};
    for (;;) {
        const ssize_t count = ::read(fd, chunk.data(), chunk.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return failWithErrno();
        }
        if (count == 0) {
            error.clear();
            return text;
        }
        text.append(chunk.data(), static_cast<std::size_t>(count));
        if (text.size() > maxBytes) {
            return fail(std::make_error_code(std::errc::file_too_large));
        }
    }
}

} // namespace tandrel
