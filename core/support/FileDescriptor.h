#pragma once

#include <unistd.h>

namespace tandrel {

// An open file descriptor (or -1), closed when the object goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    FileDescriptor(FileDescriptor &&other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor &operator=(FileDescriptor &&other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) {
                ::close(fd_);
            }
            fd_ = other.fd_;
            other.fd_ = -1;
        }
        return *this;
    }
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    int get() const noexcept { return fd_; }
    // Closes now, so that a failed close is seen (a lost write shows up there).
    int close() noexcept {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd);
    }

private:
    int fd_;
};

} // namespace tandrel
