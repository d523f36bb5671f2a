#include "timecode/av/MovieFileReplacement.h"

#include "timecode/av/MovieFormatError.h"
#include "timecode/av/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace timecode {

namespace {

[[noreturn]] void fail(const std::string &what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// The names of the file's extended attributes.
std::vector<std::string> attributeNames(int descriptor) {
    for (;;) {
        const ssize_t size = ::flistxattr(descriptor, nullptr, 0);
        if (size < 0) {
            // A file system without extended attributes has none to keep.
            if (errno == ENOTSUP) {
                return {};
            }
            fail("list extended attributes");
        }
        std::vector<char> names(static_cast<size_t>(size));
        const ssize_t got = ::flistxattr(descriptor, names.data(), names.size());
        if (got < 0 && errno == ERANGE) {
            continue;
        }
        if (got < 0) {
            fail("list extended attributes");
        }
        std::vector<std::string> list;
        for (size_t at = 0; at < static_cast<size_t>(got);) {
            list.emplace_back(names.data() + at);
            at += list.back().size() + 1;
        }
        return list;
    }
}

// The value of one attribute; nothing when the file lacks it.
std::optional<std::vector<char>> attributeValue(int descriptor, const std::string &name) {
    for (;;) {
        const ssize_t size = ::fgetxattr(descriptor, name.c_str(), nullptr, 0);
        if (size < 0 && (errno == ENODATA || errno == ENOTSUP)) {
            return std::nullopt;
        }
        if (size < 0) {
            fail("read extended attribute " + name);
        }
        std::vector<char> value(static_cast<size_t>(size));
        const ssize_t got = ::fgetxattr(descriptor, name.c_str(), value.data(), value.size());
        if (got < 0 && errno == ERANGE) {
            continue;
        }
        if (got < 0) {
            fail("read extended attribute " + name);
        }
        value.resize(static_cast<size_t>(got));
        return value;
    }
}

} // namespace

MovieFileReplacement::MovieFileReplacement(const std::filesystem::path &path, uint64_t newSize) {
    // Through a symbolic link the file it names is replaced, never the link.
    target_ = std::filesystem::canonical(path);
    originalDescriptor_ = openRegularFile(target_, O_RDONLY);
    try {
        if (::fstat(originalDescriptor_, &original_) != 0) {
            fail("stat " + target_.string());
        }
        if (original_.st_nlink > 1) {
            throw NotReplaceable("it has other names (hard links), which would keep the old file");
        }
        const std::filesystem::path folder = target_.parent_path();
        struct statvfs disk {};
        if (::statvfs(folder.c_str(), &disk) == 0 && disk.f_frsize > 0 &&
            disk.f_bavail < newSize / disk.f_frsize + 1) {
            throw NotReplaceable("its disk has no room for a second copy of it");
        }
        // Built by appending: GCC 12 warns wrongly about chained + on strings here.
        std::string hidden(".");
        hidden.append(target_.filename().string()).append(".XXXXXX");
        std::string name = (folder / hidden).string();
        newDescriptor_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (newDescriptor_ < 0) {
            if (errno == EACCES || errno == EPERM || errno == EROFS) {
                throw NotReplaceable("no file can be made in its folder");
            }
            fail("create a file beside " + target_.string());
        }
        newPath_ = name;

        struct stat made {};
        if (::fstat(newDescriptor_, &made) != 0) {
            fail("stat " + newPath_.string());
        }
        if ((made.st_uid != original_.st_uid || made.st_gid != original_.st_gid) &&
            ::fchown(newDescriptor_, original_.st_uid, original_.st_gid) != 0) {
            throw NotReplaceable("its owner or group cannot be given to a new file");
        }
        if (::fchmod(newDescriptor_, original_.st_mode & 07777) != 0) {
            fail("set the permissions of " + newPath_.string());
        }
        // Attributes last: an access list among them settles the permission bits too.
        for (const std::string &attribute : attributeNames(originalDescriptor_)) {
            const auto value = attributeValue(originalDescriptor_, attribute);
            if (!value || attributeValue(newDescriptor_, attribute) == value) {
                continue;
            }
            if (::fsetxattr(newDescriptor_, attribute.c_str(), value->data(), value->size(), 0) !=
                0) {
                throw NotReplaceable("its extended attribute " + attribute +
                                     " cannot be given to a new file");
            }
        }
    } catch (...) {
        if (newDescriptor_ >= 0) {
            ::close(newDescriptor_);
            ::unlink(newPath_.c_str());
        }
        ::close(originalDescriptor_);
        throw;
    }
}

MovieFileReplacement::~MovieFileReplacement() {
    if (newDescriptor_ >= 0) {
        ::close(newDescriptor_);
    }
    if (!committed_) {
        ::unlink(newPath_.c_str());
    }
    ::close(originalDescriptor_);
}

void MovieFileReplacement::append(std::span<const uint8_t> bytes) {
    writeAllAt(newDescriptor_, written_, bytes);
    written_ += bytes.size();
}

void MovieFileReplacement::appendOriginal(uint64_t offset, uint64_t length) {
    if (offset > originalSize() || length > originalSize() - offset) {
        throw MovieFormatError("a range beyond the end of the file");
    }
    // The kernel copies, sharing the blocks where the file system can; where it cannot copy
    // between these files at all, the bytes pass through a buffer.
    loff_t from = static_cast<loff_t>(offset);
    loff_t to = static_cast<loff_t>(written_);
    uint64_t left = length;
    while (left > 0) {
        const ssize_t count =
            ::copy_file_range(originalDescriptor_, &from, newDescriptor_, &to,
                              static_cast<size_t>(std::min<uint64_t>(left, uint64_t{1} << 30)), 0);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0 &&
            (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
            break;
        }
        if (count < 0) {
            fail("copy " + target_.string());
        }
        if (count == 0) {
            throw MovieFormatError("the file ended while it was copied");
        }
        left -= static_cast<uint64_t>(count);
    }
    std::vector<uint8_t> buffer;
    while (left > 0) {
        buffer.resize(static_cast<size_t>(std::min<uint64_t>(left, uint64_t{1} << 20)));
        const ssize_t count =
            ::pread(originalDescriptor_, buffer.data(), buffer.size(), static_cast<off_t>(from));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            fail("read " + target_.string());
        }
        if (count == 0) {
            throw MovieFormatError("the file ended while it was copied");
        }
        writeAllAt(newDescriptor_, static_cast<uint64_t>(to),
                   std::span(buffer).first(static_cast<size_t>(count)));
        from += count;
        to += count;
        left -= static_cast<uint64_t>(count);
    }
    written_ += length;
}

void MovieFileReplacement::write(uint64_t offset, std::span<const uint8_t> bytes) {
    if (offset > written_ || bytes.size() > written_ - offset) {
        throw MovieFormatError("a write beyond the new file");
    }
    writeAllAt(newDescriptor_, offset, bytes);
}

void MovieFileReplacement::commit() {
    if (::fsync(newDescriptor_) != 0) {
        fail("sync " + newPath_.string());
    }
    // The old file must be the one that was read: the same size and times, still at its name.
    struct stat now {};
    struct stat named {};
    if (::fstat(originalDescriptor_, &now) != 0) {
        fail("stat " + target_.string());
    }
    if (::stat(target_.c_str(), &named) != 0) {
        fail("stat " + target_.string());
    }
    if (now.st_size != original_.st_size || now.st_mtim.tv_sec != original_.st_mtim.tv_sec ||
        now.st_mtim.tv_nsec != original_.st_mtim.tv_nsec || named.st_dev != original_.st_dev ||
        named.st_ino != original_.st_ino) {
        throw MovieFormatError("the file changed while it was copied");
    }
    if (::rename(newPath_.c_str(), target_.c_str()) != 0) {
        fail("replace " + target_.string());
    }
    committed_ = true;
    // The rename is done and readers see the new file; a folder that cannot be flushed only
    // leaves the rename to the file system's own time.
    const int folder = ::open(target_.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace timecode
