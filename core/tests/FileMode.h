#pragma once

#include <sys/stat.h>

#include <filesystem>

namespace tandrel::testing {

// The permission bits of a file or folder (0600, 0755 ...); 0 when there is none.
inline unsigned modeOf(const std::filesystem::path &path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// The umask given while it lives, so that modes do not depend on the caller's.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(previous_); }
    ScopedUmask(const ScopedUmask &) = delete;
    ScopedUmask &operator=(const ScopedUmask &) = delete;

private:
    mode_t previous_;
};

// The usual umask (022) while it lives.
class TypicalUmask : public ScopedUmask {
public:
    TypicalUmask() : ScopedUmask(022) {}
};

} // namespace tandrel::testing
