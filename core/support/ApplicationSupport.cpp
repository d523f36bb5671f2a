#include "core/support/ApplicationSupport.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace tandrel {

namespace {

// An absolute path from the environment; relative or empty values do not count.
std::filesystem::path absoluteFromEnvironment(const char *name) {
    const char *value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    return value;
}

std::filesystem::path accountHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
        return {};
    }
    return found->pw_dir;
}

} // namespace

std::filesystem::path homeDirectory() {
    if (auto home = absoluteFromEnvironment("HOME"); !home.empty()) {
        return home;
    }
    return accountHome();
}

std::filesystem::path applicationSupportDirectory() {
    if (auto dataHome = absoluteFromEnvironment("XDG_DATA_HOME"); !dataHome.empty()) {
        return dataHome;
    }
    const std::filesystem::path home = homeDirectory();
    if (home.empty()) {
        throw std::runtime_error("The user's home folder could not be found.");
    }
    return home / ".local" / "share";
}

} // namespace tandrel
