#include "timecode/av/MovieFileReplacement.h"

#include "timecode/av/MovieFormatError.h"
#include "timecode/av/RegularFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/random.h>
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

constexpr size_t kUniqueLength = 6;
constexpr const char *kHiddenSuffix = ".partial";

// Six letters and digits, as a temporary name takes them.
std::string uniqueText() {
    static constexpr char alphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::array<unsigned char, kUniqueLength> bytes{};
    size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            fail("getrandom");
        }
        filled += static_cast<size_t>(got);
    }
    std::string text;
    for (const unsigned char byte : bytes) {
        text.push_back(alphabet[byte % (sizeof alphabet - 1)]);
    }
    return text;
}

bool isUniqueText(std::string_view text) {
    return text.size() == kUniqueLength && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

// An older release wrote its copy under ".<movie>.XXXXXX", unlocked, and left it behind when
// it died. Such a name is taken for that copy only when it is empty or begins with a box of a
// movie's first kind, as every copy did.
bool isOlderReleasesCopy(int descriptor, const struct stat &status) {
    if (status.st_size == 0) {
        return true;
    }
    std::array<char, 8> header{};
    if (::pread(descriptor, header.data(), header.size(), 0) !=
        static_cast<ssize_t>(header.size())) {
        return false;
    }
    const std::string_view type(header.data() + 4, 4);
    return type == "ftyp" || type == "moov" || type == "wide" || type == "free" || type == "skip" ||
           type == "mdat";
}

// Removes, from the folder, the copies of the movie that a save which died left behind: its
// hidden names no living save holds locked, the user's own regular files with no other name.
// Another user's file, a link, a locked copy (a save under way) or one that changed its name
// meanwhile stays. Failures only leave a copy where it is.
void removeLeftoversIn(int folder, const std::string &movieName) {
    const std::string ours = MovieFileReplacement::hiddenName(movieName, "XXXXXX");
    const size_t uniqueAt =
        ours.size() - std::char_traits<char>::length(kHiddenSuffix) - kUniqueLength;
    const std::string olderPrefix = "." + movieName + ".";
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return;
    }
    DIR *entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    std::vector<std::pair<std::string, bool>> candidates;
    while (const dirent *entry = ::readdir(entries)) {
        const std::string_view name(entry->d_name);
        if (name.size() == ours.size() && isUniqueText(name.substr(uniqueAt, kUniqueLength)) &&
            name == MovieFileReplacement::hiddenName(
                        movieName, std::string(name.substr(uniqueAt, kUniqueLength)))) {
            candidates.emplace_back(name, false);
        } else if (name.size() == olderPrefix.size() + kUniqueLength &&
                   name.substr(0, olderPrefix.size()) == olderPrefix &&
                   isUniqueText(name.substr(olderPrefix.size()))) {
            candidates.emplace_back(name, true);
        }
    }
    ::closedir(entries);
    for (const auto &[name, older] : candidates) {
        const int descriptor =
            ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0) {
            continue;
        }
        struct stat status {};
        struct stat named {};
        // A save under way holds its copy locked until the copy is the movie.
        if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
            status.st_uid == ::geteuid() && status.st_nlink == 1 &&
            ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 &&
            (!older || isOlderReleasesCopy(descriptor, status)) &&
            ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == status.st_dev && named.st_ino == status.st_ino) {
            ::unlinkat(folder, name.c_str(), 0);
        }
        ::close(descriptor);
    }
}

// Bytes of the file that hold data, holes left out.
uint64_t allocatedBytes(const struct stat &status) {
    const uint64_t allocated = static_cast<uint64_t>(status.st_blocks) * 512;
    return std::min(allocated, static_cast<uint64_t>(status.st_size));
}

} // namespace

std::string MovieFileReplacement::hiddenName(const std::string &movieName,
                                             const std::string &unique) {
    // A name holds at most 255 bytes: a long movie name is cut, never inside a character.
    const size_t room = 255 - 1 - 1 - unique.size() - std::char_traits<char>::length(kHiddenSuffix);
    size_t kept = std::min(room, movieName.size());
    while (kept > 0 && kept < movieName.size() &&
           (static_cast<unsigned char>(movieName[kept]) & 0xC0) == 0x80) {
        --kept;
    }
    std::string name(".");
    name.append(movieName, 0, kept).append(".").append(unique).append(kHiddenSuffix);
    return name;
}

void MovieFileReplacement::removeLeftovers(const std::filesystem::path &movie) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(movie, error);
    if (error) {
        return;
    }
    const int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        removeLeftoversIn(folder, target.filename().string());
        ::close(folder);
    }
}

MovieFileReplacement::MovieFileReplacement(const std::filesystem::path &path, uint64_t newSize) {
    // Through a symbolic link the file it names is replaced, never the link.
    target_ = std::filesystem::canonical(path);
    targetName_ = target_.filename().string();
    const std::filesystem::path folder = target_.parent_path();
    originalDescriptor_ = openRegularFile(target_, O_RDONLY);
    try {
        if (::fstat(originalDescriptor_, &original_) != 0) {
            fail("cannot examine " + target_.string());
        }
        if (original_.st_nlink > 1) {
            throw NotReplaceable("it has other names (hard links), which would keep the old file");
        }
        folderDescriptor_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderDescriptor_ < 0) {
            throw NotReplaceable("its folder cannot be opened");
        }
        removeLeftoversIn(folderDescriptor_, targetName_);
        // The copy needs room for the old file's data (its holes stay holes) and what it gains.
        const uint64_t oldSize = originalSize();
        const uint64_t needed =
            allocatedBytes(original_) + (newSize > oldSize ? newSize - oldSize : 0);
        struct statvfs disk {};
        if (::fstatvfs(folderDescriptor_, &disk) == 0 && disk.f_frsize > 0 &&
            disk.f_bavail < needed / disk.f_frsize + 1) {
            throw NotReplaceable("its disk has no room for a second copy of it");
        }
        // Nameless while it is written, so a process that dies leaves nothing; where the file
        // system cannot make such a file (or /proc, through which it is read back, is
        // missing), under its hidden name, locked, so that the next save can tell a leftover.
        if (::access("/proc/self/fd", X_OK) == 0) {
            newDescriptor_ = ::openat(folderDescriptor_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        } else {
            newDescriptor_ = -1;
            errno = EOPNOTSUPP;
        }
        if (newDescriptor_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            if (errno == EACCES || errno == EPERM || errno == EROFS) {
                throw NotReplaceable("no file can be made in its folder");
            }
            fail("cannot create a file beside " + target_.string());
        }
        if (newDescriptor_ >= 0) {
            newPath_ = "/proc/self/fd/" + std::to_string(newDescriptor_);
        } else {
            for (int attempt = 0; newDescriptor_ < 0; ++attempt) {
                const std::string name = hiddenName(targetName_, uniqueText());
                newDescriptor_ = ::openat(folderDescriptor_, name.c_str(),
                                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
                if (newDescriptor_ >= 0) {
                    hiddenName_ = name;
                } else if (errno != EEXIST || attempt >= 100) {
                    if (errno == EACCES || errno == EPERM || errno == EROFS) {
                        throw NotReplaceable("no file can be made in its folder");
                    }
                    fail("cannot create a file beside " + target_.string());
                }
            }
            newPath_ = folder / hiddenName_;
        }
        if (::flock(newDescriptor_, LOCK_EX) != 0) {
            fail("cannot lock the new copy of " + target_.string());
        }
        if (::fstat(newDescriptor_, &made_) != 0) {
            fail("cannot examine the new copy of " + target_.string());
        }
        if ((made_.st_uid != original_.st_uid || made_.st_gid != original_.st_gid) &&
            ::fchown(newDescriptor_, original_.st_uid, original_.st_gid) != 0) {
            throw NotReplaceable("its owner or group cannot be given to a new file");
        }
        if (::fchmod(newDescriptor_, original_.st_mode & 07777) != 0) {
            fail("cannot set the permissions of the new copy of " + target_.string());
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
            if (!hiddenName_.empty()) {
                ::unlinkat(folderDescriptor_, hiddenName_.c_str(), 0);
            }
            ::close(newDescriptor_);
        }
        if (folderDescriptor_ >= 0) {
            ::close(folderDescriptor_);
        }
        ::close(originalDescriptor_);
        throw;
    }
}

MovieFileReplacement::~MovieFileReplacement() {
    if (!committed_ && !hiddenName_.empty()) {
        unlinkHiddenName();
    }
    if (newDescriptor_ >= 0) {
        ::close(newDescriptor_);
    }
    ::close(folderDescriptor_);
    ::close(originalDescriptor_);
}

void MovieFileReplacement::unlinkHiddenName() {
    struct stat named {};
    if (::fstatat(folderDescriptor_, hiddenName_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == made_.st_dev && named.st_ino == made_.st_ino) {
        ::unlinkat(folderDescriptor_, hiddenName_.c_str(), 0);
    }
    hiddenName_.clear();
}

void MovieFileReplacement::append(std::span<const uint8_t> bytes) {
    writeAllAt(newDescriptor_, written_, bytes, "cannot write the new copy of " + target_.string());
    written_ += bytes.size();
}

void MovieFileReplacement::appendOriginal(uint64_t offset, uint64_t length) {
    if (offset > originalSize() || length > originalSize() - offset) {
        throw MovieFormatError("a range beyond the end of the file");
    }
    const std::string writing = "cannot write the new copy of " + target_.string();
    const uint64_t end = offset + length;
    const auto copy = [&](uint64_t fromOffset, uint64_t count) {
        // The kernel copies, sharing the blocks where the file system can; where it cannot
        // copy between these files at all, the bytes pass through a buffer.
        loff_t from = static_cast<loff_t>(fromOffset);
        loff_t to = static_cast<loff_t>(written_ + (fromOffset - offset));
        uint64_t left = count;
        while (left > 0) {
            const ssize_t copied = ::copy_file_range(
                originalDescriptor_, &from, newDescriptor_, &to,
                static_cast<size_t>(std::min<uint64_t>(left, uint64_t{1} << 30)), 0);
            if (copied < 0 && errno == EINTR) {
                continue;
            }
            if (copied < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
                break;
            }
            if (copied < 0) {
                fail(writing);
            }
            if (copied == 0) {
                throw MovieFormatError("the file ended while it was copied");
            }
            left -= static_cast<uint64_t>(copied);
        }
        std::vector<uint8_t> buffer;
        while (left > 0) {
            buffer.resize(static_cast<size_t>(std::min<uint64_t>(left, uint64_t{1} << 20)));
            const ssize_t got = ::pread(originalDescriptor_, buffer.data(), buffer.size(),
                                        static_cast<off_t>(from));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                fail("cannot read " + target_.string());
            }
            if (got == 0) {
                throw MovieFormatError("the file ended while it was copied");
            }
            writeAllAt(newDescriptor_, static_cast<uint64_t>(to),
                       std::span(buffer).first(static_cast<size_t>(got)), writing);
            from += got;
            to += got;
            left -= static_cast<uint64_t>(got);
        }
    };
    // Only the stretches that hold data are copied: a hole stays a hole, and costs nothing.
    for (uint64_t at = offset; at < end;) {
        off_t data = ::lseek(originalDescriptor_, static_cast<off_t>(at), SEEK_DATA);
        off_t hole = static_cast<off_t>(end);
        if (data < 0 && errno == ENXIO) {
            break;
        }
        if (data < 0) {
            // A file system that cannot tell holes: all of it is data.
            data = static_cast<off_t>(at);
        } else if (const off_t found = ::lseek(originalDescriptor_, data, SEEK_HOLE); found >= 0) {
            hole = found;
        }
        if (static_cast<uint64_t>(data) >= end) {
            break;
        }
        const uint64_t stretchEnd = std::min(static_cast<uint64_t>(hole), end);
        copy(static_cast<uint64_t>(data), stretchEnd - static_cast<uint64_t>(data));
        at = stretchEnd;
    }
    written_ += length;
    // A hole at the end is the file's length without data.
    struct stat status {};
    if (::fstat(newDescriptor_, &status) != 0) {
        fail("cannot examine the new copy of " + target_.string());
    }
    if (static_cast<uint64_t>(status.st_size) < written_ &&
        ::ftruncate(newDescriptor_, static_cast<off_t>(written_)) != 0) {
        fail(writing);
    }
}

void MovieFileReplacement::write(uint64_t offset, std::span<const uint8_t> bytes) {
    if (offset > written_ || bytes.size() > written_ - offset) {
        throw MovieFormatError("a write beyond the new file");
    }
    writeAllAt(newDescriptor_, offset, bytes, "cannot write the new copy of " + target_.string());
}

void MovieFileReplacement::link() {
    const std::string viaProc = "/proc/self/fd/" + std::to_string(newDescriptor_);
    for (int attempt = 0;; ++attempt) {
        const std::string name = hiddenName(targetName_, uniqueText());
        // Linking the descriptor itself needs a capability an ordinary user lacks; its entry
        // in /proc does not.
        int linked = ::linkat(newDescriptor_, "", folderDescriptor_, name.c_str(), AT_EMPTY_PATH);
        if (linked != 0 && errno == ENOENT) {
            linked = ::linkat(AT_FDCWD, viaProc.c_str(), folderDescriptor_, name.c_str(),
                              AT_SYMLINK_FOLLOW);
        }
        if (linked == 0) {
            hiddenName_ = name;
            return;
        }
        if (errno != EEXIST || attempt >= 100) {
            fail("cannot give the new copy of " + target_.string() + " a name");
        }
    }
}

void MovieFileReplacement::commit() {
    if (::fsync(newDescriptor_) != 0) {
        fail("cannot flush the new copy of " + target_.string());
    }
    // The old file must be the one that was read: the same size and times, still at its name.
    struct stat now {};
    struct stat named {};
    if (::fstat(originalDescriptor_, &now) != 0) {
        fail("cannot examine " + target_.string());
    }
    if (::fstatat(folderDescriptor_, targetName_.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
        fail("cannot examine " + target_.string());
    }
    if (now.st_size != original_.st_size || now.st_mtim.tv_sec != original_.st_mtim.tv_sec ||
        now.st_mtim.tv_nsec != original_.st_mtim.tv_nsec || named.st_dev != original_.st_dev ||
        named.st_ino != original_.st_ino) {
        throw MovieFormatError("the file changed while it was copied");
    }
    if (hiddenName_.empty()) {
        link();
    }
    if (::renameat(folderDescriptor_, hiddenName_.c_str(), folderDescriptor_,
                   targetName_.c_str()) != 0) {
        const int error = errno;
        unlinkHiddenName();
        errno = error;
        fail("cannot replace " + target_.string());
    }
    committed_ = true;
    // The rename is done and readers see the new file; a folder that cannot be flushed only
    // leaves the rename to the file system's own time.
    ::fsync(folderDescriptor_);
}

} // namespace timecode
