#include "platform/archive/ArchiveExtractor.h"

#include "core/support/FileDescriptor.h"
#include "platform/archive/Utf8Names.h"
#include "platform/bundle/BundlePath.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace platform {

namespace {

struct ReaderDeleter {
    void operator()(archive *reader) const { archive_read_free(reader); }
};
struct WriterDeleter {
    void operator()(archive *writer) const { archive_write_free(writer); }
};
using Reader = std::unique_ptr<archive, ReaderDeleter>;
using Writer = std::unique_ptr<archive, WriterDeleter>;

[[noreturn]] void refuse(const std::string &reason) {
    throw ExtractionError(reason);
}

std::string libraryError(archive *handle, const char *fallback) {
    const char *text = archive_error_string(handle);
    return BundlePath::printable(text != nullptr ? text : fallback);
}

std::string entryName(std::string_view name) {
    return "entry \"" + BundlePath::printable(name) + "\"";
}

// The kind of entry, or why it is refused.
std::optional<std::string> kindProblem(archive_entry *entry) {
    if (archive_entry_hardlink(entry) != nullptr) {
        return "a hard link";
    }
    switch (archive_entry_filetype(entry)) {
    case AE_IFREG:
    case AE_IFDIR:
    case AE_IFLNK:
        break;
    case AE_IFIFO:
        return "a pipe";
    case AE_IFCHR:
    case AE_IFBLK:
        return "a device";
    case AE_IFSOCK:
        return "a socket";
    default:
        return "an entry of unknown kind";
    }
    if ((archive_entry_perm(entry) & (S_ISUID | S_ISGID)) != 0) {
        return "a set-user-ID or set-group-ID entry";
    }
    return std::nullopt;
}

class Extraction {
public:
    Extraction(archive *reader, const std::filesystem::path &destination,
               const ExtractionLimits &limits)
        : reader_(reader), limits_(limits),
          // Resolved once, so that the writer's own check for links along each path never
          // meets one above the destination (a temporary folder reached through a link).
          root_(std::filesystem::canonical(destination)) {
        writer_.reset(archive_write_disk_new());
        if (!writer_) {
            throw std::bad_alloc();
        }
        // The writer's own guards repeat ours: no "..", nothing through links, no overwrite.
        archive_write_disk_set_options(
            writer_.get(), ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_SECURE_SYMLINKS |
                               ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_NO_OVERWRITE);
    }

    void run() {
        for (;;) {
            archive_entry *entry = nullptr;
            const int status = archive_read_next_header(reader_, &entry);
            if (status == ARCHIVE_EOF) {
                break;
            }
            if (status < ARCHIVE_WARN) {
                refuse("unreadable archive: " + libraryError(reader_, "no entry header"));
            }
            if (++entries_ > limits_.maxEntries) {
                refuse("more than " + std::to_string(limits_.maxEntries) + " entries");
            }
            unpack(entry);
        }
        if (archive_write_close(writer_.get()) < ARCHIVE_WARN) {
            refuse(writerError("cannot finish the extraction"));
        }
    }

private:
    void unpack(archive_entry *entry) {
        const char *rawName = archive_entry_pathname(entry);
        if (rawName == nullptr) {
            refuse("an entry without a readable name");
        }
        std::string name = rawName;
        // Folders may be stored with a trailing "/".
        while (name.size() > 1 && name.back() == '/') {
            name.pop_back();
        }
        if (const auto problem = BundlePath::problem(name)) {
            refuse(entryName(rawName) + ": " + *problem);
        }
        if (const auto problem = kindProblem(entry)) {
            refuse(entryName(name) + ": " + *problem);
        }
        if (written_.count(name) != 0) {
            refuse(entryName(name) + ": a second entry for the name");
        }
        for (std::size_t slash = name.find('/'); slash != std::string::npos;
             slash = name.find('/', slash + 1)) {
            if (links_.count(name.substr(0, slash)) != 0) {
                refuse(entryName(name) + ": inside the link \"" +
                       BundlePath::printable(name.substr(0, slash)) + "\"");
            }
        }
        const auto type = archive_entry_filetype(entry);
        if (type == AE_IFLNK) {
            checkLink(entry, name);
        }
        if (type == AE_IFREG && archive_entry_size_is_set(entry) &&
            archive_entry_size(entry) >= 0 &&
            static_cast<std::uint64_t>(archive_entry_size(entry)) > limits_.maxBytes - bytes_) {
            refuseSize();
        }

        mode_t permissions = archive_entry_perm(entry) & 0777;
        if (type == AE_IFDIR) {
            // A folder's mode is not signed: an archive must not be able to open the unpacked
            // program to other users' writes. Its owner always gets in.
            permissions = (permissions & 0755) | 0700;
        }
        archive_entry_set_perm(entry, permissions);
        archive_entry_acl_clear(entry);
        archive_entry_xattr_clear(entry);
        archive_entry_set_pathname(entry, (root_ / name).c_str());

        if (archive_write_header(writer_.get(), entry) < ARCHIVE_WARN) {
            refuse(entryName(name) + ": " + writerError("cannot be written"));
        }
        if (type == AE_IFREG) {
            copyData(name);
        }
        if (archive_write_finish_entry(writer_.get()) < ARCHIVE_WARN) {
            refuse(entryName(name) + ": " + writerError("cannot be finished"));
        }
        written_.insert(name);
        if (type == AE_IFLNK) {
            links_.insert(name);
        }
    }

    void checkLink(archive_entry *entry, const std::string &name) {
        const char *target = archive_entry_symlink(entry);
        const std::size_t slash = name.find('/');
        if (target == nullptr || slash == std::string::npos ||
            !BundlePath::linkStaysInside(std::string_view(name).substr(slash + 1), target)) {
            refuse(entryName(name) + ": a link that points out of its folder");
        }
    }

    void copyData(const std::string &name) {
        for (;;) {
            const void *block = nullptr;
            std::size_t size = 0;
            la_int64_t offset = 0;
            const int status = archive_read_data_block(reader_, &block, &size, &offset);
            if (status == ARCHIVE_EOF) {
                return;
            }
            if (status < ARCHIVE_WARN) {
                refuse(entryName(name) + ": " + libraryError(reader_, "unreadable content"));
            }
            if (size > limits_.maxBytes - bytes_) {
                refuseSize();
            }
            bytes_ += size;
            if (archive_write_data_block(writer_.get(), block, size, offset) < ARCHIVE_WARN) {
                refuse(entryName(name) + ": " + writerError("cannot be written"));
            }
        }
    }

    // The writer's message names the paths it wrote in full; below the destination, which is
    // the caller's own (often a private temporary folder), only the entry's name is news.
    std::string writerError(const char *fallback) const {
        std::string text = libraryError(writer_.get(), fallback);
        const std::string root = BundlePath::printable(root_.string());
        const std::pair<std::string, std::string> replacements[] = {{root + "/", ""}, {root, "."}};
        for (const auto &[from, to] : replacements) {
            for (std::size_t at = text.find(from); at != std::string::npos;
                 at = text.find(from, at + to.size())) {
                text.replace(at, from.size(), to);
            }
        }
        return text;
    }

    [[noreturn]] void refuseSize() const {
        refuse("more than " + std::to_string(limits_.maxBytes) + " bytes of content");
    }

    archive *reader_;
    const ExtractionLimits &limits_;
    std::filesystem::path root_;
    Writer writer_;
    std::uint64_t entries_ = 0;
    std::uint64_t bytes_ = 0;
    std::set<std::string> written_;
    std::set<std::string> links_;
};

Reader zipReader() {
    Reader reader(archive_read_new());
    if (!reader) {
        throw std::bad_alloc();
    }
    // Only through its directory of entries at its end: read from the front alone, an archive
    // gives no entry its permissions, and would unpack as whatever the reader defaults to.
    archive_read_support_format_zip_seekable(reader.get());
    return reader;
}

constexpr std::size_t endRecordSize = 22;

// Reads `length` bytes at `offset` of the archive into `into`; false when it cannot.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t length, char *into)>;

// The last end record ("PK\5\6") of a directory of entries in the archive: where it ends,
// with its comment, and how many entries it lists.
struct EndRecord {
    std::uint64_t end;
    std::uint64_t entries;
};

std::optional<EndRecord> lastEndRecord(std::uint64_t size, const ReadAt &read) {
    // From the end back, in windows that overlap by a record.
    constexpr std::size_t window = std::size_t{1} << 17;
    std::string bytes;
    const auto number = [&](std::size_t at) {
        return static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at]) |
                                          (static_cast<unsigned char>(bytes[at + 1]) << 8));
    };
    for (std::uint64_t end = size; end >= endRecordSize;) {
        const std::uint64_t start = end > window ? end - window : 0;
        bytes.resize(static_cast<std::size_t>(end - start));
        if (!read(start, bytes.size(), bytes.data())) {
            return std::nullopt;
        }
        for (std::size_t at = bytes.size() - endRecordSize + 1; at-- > 0;) {
            const std::uint64_t recordEnd = start + at + endRecordSize + number(at + 20);
            if (bytes.compare(at, 4, "PK\x05\x06", 4) == 0 && recordEnd <= size) {
                return EndRecord{recordEnd, number(at + 10)};
            }
        }
        end = start == 0 ? 0 : start + endRecordSize - 1;
    }
    return std::nullopt;
}

// An archive the reader could not open: an empty one (an end record that lists no entry),
// which unpacks to nothing (the zip reader knows no archive without entries), or refused with
// what was found. That is, when an end record is
// there but bytes follow it, too many for a reader to look past (something added to a good
// archive), how many; else the reader's reason.
void openFailed(archive *reader, std::uint64_t size, const ReadAt &read) {
    const auto record = lastEndRecord(size, read);
    if (record && record->entries == 0) {
        return;
    }
    if (record && record->end < size) {
        refuse("cannot open the archive: " + std::to_string(size - record->end) +
               " bytes follow the end of the archive (its directory of entries ends at byte " +
               std::to_string(record->end) + " of " + std::to_string(size) + ")");
    }
    refuse("cannot open the archive: " + libraryError(reader, "unknown error"));
}

} // namespace

void ArchiveExtractor::extract(const std::filesystem::path &archive,
                               const std::filesystem::path &destination,
                               const ExtractionLimits &limits) {
    // A pipe or a device would be waited on, or read without end: what is at the path is
    // looked at without waiting, and only a regular file is read.
    const tandrel::FileDescriptor file(
        ::open(archive.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    const int fd = file.get();
    if (fd < 0) {
        refuse("cannot open the archive: " + std::string(std::strerror(errno)));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        refuse("cannot open the archive: not a regular file");
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        refuse("cannot open the archive: " + std::string(std::strerror(errno)));
    }
    const Utf8Names names;
    Reader reader = zipReader();
    if (archive_read_open_fd(reader.get(), fd, 1 << 16) != ARCHIVE_OK) {
        openFailed(reader.get(), static_cast<std::uint64_t>(status.st_size),
                   [fd](std::uint64_t offset, std::size_t length, char *into) {
                       for (std::size_t done = 0; done < length;) {
                           const ssize_t got = ::pread(fd, into + done, length - done,
                                                       static_cast<off_t>(offset + done));
                           if (got < 0 && errno == EINTR) {
                               continue;
                           }
                           if (got <= 0) {
                               return false;
                           }
                           done += static_cast<std::size_t>(got);
                       }
                       return true;
                   });
        return;
    }
    Extraction(reader.get(), destination, limits).run();
}

void ArchiveExtractor::extract(std::span<const std::uint8_t> archive,
                               const std::filesystem::path &destination,
                               const ExtractionLimits &limits) {
    const Utf8Names names;
    Reader reader = zipReader();
    if (archive_read_open_memory(reader.get(), archive.data(), archive.size()) != ARCHIVE_OK) {
        openFailed(reader.get(), archive.size(),
                   [&](std::uint64_t offset, std::size_t length, char *into) {
                       std::memcpy(into, archive.data() + offset, length);
                       return true;
                   });
        return;
    }
    Extraction(reader.get(), destination, limits).run();
}

} // namespace platform
