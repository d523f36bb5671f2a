#pragma once

#include <sys/stat.h>

#include <filesystem>

namespace tandrel::testing {

// The permission bits of a file or folder (0600, 0755 ...); 0 when there is none.
inline unsigned modeOf(const std::filesystem::path &path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// The usual umask (022) while it lives, so that modes do not depend on the caller's.
class TypicalUmask {
public:
    TypicalUmask() : previous_(::umask(022)) {}
    ~TypicalUmask() { ::umask(previous_); }
    TypicalUmask(const TypicalUmask &) = delete;
    TypicalUmask &operator=(const TypicalUmask &) = delete;

private:
    mode_t previous_;
};

} // namespace tandrel::testing
