#include "core/support/PrivateFolder.h"

#include "core/support/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

namespace tandrel {

namespace {

[[noreturn]] void fail(const char *what, const std::filesystem::path &path, int error) {
    throw std::filesystem::filesystem_error(what, path,
                                            std::error_code(error, std::generic_category()));
}

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

} // namespace

namespace {

std::string refusalText(const std::filesystem::path &path, const std::string &why) {
    std::string text;
    text.reserve(path.native().size() + why.size() + 16);
    text.append(1, '"').append(path.native()).append("\" is refused: ").append(why);
    return text;
}

} // namespace

NotOursError::NotOursError(const std::filesystem::path &path, const std::string &why)
    : std::system_error(std::make_error_code(std::errc::operation_not_permitted),
                        refusalText(path, why)),
      path_(path), text_(refusalText(path, why)) {}

PrivateFolder PrivateFolder::checked(std::filesystem::path path, FileDescriptor fd) {
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        fail("Cannot read the folder", path, errno);
    }
    if (const std::optional<std::string> why = whyNotOursAlone(status)) {
        throw NotOursError(path, *why);
    }
    return PrivateFolder(std::move(path), std::move(fd));
}

PrivateFolder PrivateFolder::open(const std::filesystem::path &path, Missing missing) {
    FileDescriptor fd(::open(path.c_str(), folderFlags));
    if (fd.get() < 0 && errno == ENOENT && missing == Missing::create) {
        createFolders(path, FileAccess::userOnly);
        fd = FileDescriptor(::open(path.c_str(), folderFlags));
    }
    if (fd.get() < 0) {
        fail("Cannot open the folder", path, errno);
    }
    return checked(path, std::move(fd));
}

PrivateFolder PrivateFolder::folder(const std::string &name, Missing missing) const {
    const std::filesystem::path path = path_ / name;
    FileDescriptor fd(::openat(fd_.get(), name.c_str(), folderFlags));
    if (fd.get() < 0 && errno == ENOENT && missing == Missing::create) {
        if (::mkdirat(fd_.get(), name.c_str(), folderModeFor(FileAccess::userOnly)) != 0 &&
            errno != EEXIST) {
            fail("Cannot create the folder", path, errno);
        }
        fd = FileDescriptor(::openat(fd_.get(), name.c_str(), folderFlags));
    }
    if (fd.get() < 0) {
        fail("Cannot open the folder", path, errno);
    }
    return checked(path, std::move(fd));
}

PrivateFolder PrivateFolder::openBelow(const std::filesystem::path &base,
                                       const std::filesystem::path &relative, Missing missing) {
    std::vector<std::string> names;
    for (const std::filesystem::path &part : relative.lexically_normal()) {
        const std::string name = part.string();
        if (name.empty() || name == "." || name == ".." || name == "/") {
            fail("Not a folder below the data folder", base / relative, EINVAL);
        }
        names.push_back(name);
    }
    if (names.empty()) {
        fail("Not a folder below the data folder", base / relative, EINVAL);
    }
    FileDescriptor top(::open(base.c_str(), folderFlags));
    if (top.get() < 0 && errno == ENOENT && missing == Missing::create) {
        createFolders(base, FileAccess::userOnly);
        top = FileDescriptor(::open(base.c_str(), folderFlags));
    }
    if (top.get() < 0) {
        fail("Cannot open the folder", base, errno);
    }
    // The base is the user's data folder, whoever owns it; what lies below it must be theirs.
    PrivateFolder level(base, std::move(top));
    for (const std::string &name : names) {
        level = level.folder(name, missing);
    }
    return level;
}

RegularFileRead PrivateFolder::read(const std::string &name, uint64_t maxBytes) const {
    const int fd = ::openat(fd_.get(), name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat status {};
    if (fd >= 0 && ::fstat(fd, &status) == 0) {
        if (const std::optional<std::string> why = whyNotOursAlone(status)) {
            ::close(fd);
            throw NotOursError(path_ / name, *why);
        }
    }
    return readRegularFile(fd, maxBytes);
}

bool PrivateFolder::checkEntry(const std::string &name) const {
    struct stat status {};
    if (::fstatat(fd_.get(), name.c_str(), &status, 0) != 0) {
        return false;
    }
    if (const std::optional<std::string> why = whyNotOursAlone(status)) {
        throw NotOursError(path_ / name, *why);
    }
    return true;
}

bool PrivateFolder::remove(const std::string &name, std::error_code &error) const noexcept {
    error.clear();
    if (::unlinkat(fd_.get(), name.c_str(), 0) != 0 && errno != ENOENT) {
        error.assign(errno, std::generic_category());
        return false;
    }
    return true;
}

bool PrivateFolder::rename(const std::string &from, const std::string &to,
                           std::error_code &error) const noexcept {
    error.clear();
    if (::renameat(fd_.get(), from.c_str(), fd_.get(), to.c_str()) != 0) {
        error.assign(errno, std::generic_category());
        return false;
    }
    return true;
}

bool PrivateFolder::flush(std::error_code &error) const noexcept {
    error.clear();
    if (::fsync(fd_.get()) != 0 && errno != EINVAL) {
        error.assign(errno, std::generic_category());
        return false;
    }
    return true;
}

} // namespace tandrel
