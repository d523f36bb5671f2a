#include "core/support/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace tandrel {

namespace {

RegularFileRead tooLarge(int fd, uint64_t atLeast) {
    struct stat status {};
    const uint64_t size =
        ::fstat(fd, &status) == 0 && status.st_size > 0 ? static_cast<uint64_t>(status.st_size) : 0;
    const uint64_t count = std::min<uint64_t>(std::max(size, atLeast), INT64_MAX);
    return {RegularFileRead::Status::tooLarge,
            {},
            static_cast<int64_t>(count),
            std::make_error_code(std::errc::file_too_large)};
}

RegularFileRead notReadable(std::errc why) {
    return {RegularFileRead::Status::notReadable, {}, 0, std::make_error_code(why)};
}

} // namespace

RegularFileStream::RegularFileStream(const std::filesystem::path &path, uint64_t maxBytes,
                                     LinkAtPath linkAtPath)
    : RegularFileStream(
          ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY |
                                   (linkAtPath == LinkAtPath::refuse ? O_NOFOLLOW : 0)),
          maxBytes) {}

RegularFileStream::RegularFileStream(int fd, uint64_t maxBytes)
    : fd_(fd), maxBytes_(maxBytes), failure_{RegularFileRead::Status::read, {}, 0, {}} {
    check();
}

void RegularFileStream::check() {
    if (fd_ < 0) {
        failure_ = notReadable(static_cast<std::errc>(errno));
        return;
    }
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
        failure_ = notReadable(static_cast<std::errc>(errno));
    } else if (!S_ISREG(status.st_mode) || status.st_size < 0) {
        failure_ = notReadable(std::errc::invalid_argument);
    } else if (static_cast<uint64_t>(status.st_size) > maxBytes_) {
        failure_ = tooLarge(fd_, 0);
    } else {
        size_ = static_cast<uint64_t>(status.st_size);
    }
}

RegularFileStream::~RegularFileStream() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

size_t RegularFileStream::read(std::span<char> buffer) {
    while (failure_.status == RegularFileRead::Status::read && !buffer.empty()) {
        // One byte beyond the limit is enough to know the file is too large.
        const uint64_t room = maxBytes_ - std::min(consumed_, maxBytes_) + 1;
        const ssize_t count = ::read(fd_, buffer.data(), std::min<uint64_t>(buffer.size(), room));
        if (count < 0) {
            if (errno != EINTR) {
                failure_ = notReadable(static_cast<std::errc>(errno));
            }
            continue;
        }
        consumed_ += static_cast<uint64_t>(count);
        if (consumed_ > maxBytes_) {
            failure_ = tooLarge(fd_, consumed_);
            return 0;
        }
        return static_cast<size_t>(count);
    }
    return 0;
}

namespace {

RegularFileRead readWhole(RegularFileStream &file) {
    RegularFileRead result{RegularFileRead::Status::read, {}, 0, {}};
    result.bytes.reserve(static_cast<size_t>(file.size()));
    std::array<char, 65536> chunk{};
    while (const size_t count = file.read(chunk)) {
        result.bytes.append(chunk.data(), count);
    }
    if (file.status() != RegularFileRead::Status::read) {
        return file.failure();
    }
    result.byteCount = static_cast<int64_t>(result.bytes.size());
    return result;
}

} // namespace

RegularFileRead readRegularFile(const std::filesystem::path &path, uint64_t maxBytes,
                                LinkAtPath linkAtPath) {
    RegularFileStream file(path, maxBytes, linkAtPath);
    return readWhole(file);
}

RegularFileRead readRegularFile(int fd, uint64_t maxBytes) {
    RegularFileStream file(fd, maxBytes);
    return readWhole(file);
}

} // namespace tandrel
