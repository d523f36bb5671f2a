#pragma once

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform::testing {

// One entry of a zip written for a test, including what no honest packer writes.
struct CraftedEntry {
    enum class Kind { file, folder, link };

    std::string name;
    Kind kind = Kind::file;
    // A file's content, or a link's target.
    std::string content;
    mode_t permissions = 0644;
    // Zero bytes after `content`, streamed into the archive without being held in memory.
    std::uint64_t zeros = 0;
    // When set, the type and permission bits the archive's central directory records for the
    // entry instead (S_IFIFO | 0644 makes a pipe of a file, S_ISUID a set-user-ID file).
    mode_t recordedMode = 0;
};

inline CraftedEntry file(std::string name, std::string content, mode_t permissions = 0644) {
    return {std::move(name), CraftedEntry::Kind::file, std::move(content), permissions};
}
inline CraftedEntry folder(std::string name) {
    return {std::move(name), CraftedEntry::Kind::folder, {}, 0755};
}
inline CraftedEntry link(std::string name, std::string target) {
    return {std::move(name), CraftedEntry::Kind::link, std::move(target), 0777};
}

namespace detail {

inline la_ssize_t appendTo(archive *, void *bytes, const void *buffer, size_t length) {
    static_cast<std::string *>(bytes)->append(static_cast<const char *>(buffer), length);
    return static_cast<la_ssize_t>(length);
}

inline uint16_t read16(const std::string &bytes, std::size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                                 static_cast<uint8_t>(bytes[at + 1]) << 8);
}

// Sets the external attributes (the Unix mode in their upper half) of the entry's
// central-directory record.
inline void recordMode(std::string &zip, const std::string &name, mode_t mode) {
    static const std::string signature("PK\x01\x02", 4);
    for (std::size_t at = zip.find(signature); at != std::string::npos;
         at = zip.find(signature, at + 4)) {
        const std::size_t nameLength = read16(zip, at + 28);
        if (zip.compare(at + 46, nameLength, name) == 0 && nameLength == name.size()) {
            const uint32_t attributes = static_cast<uint32_t>(mode) << 16;
            for (int i = 0; i < 4; ++i) {
                zip[at + 38 + static_cast<std::size_t>(i)] =
                    static_cast<char>((attributes >> (8 * i)) & 0xff);
            }
            return;
        }
    }
    throw std::logic_error("no central-directory record for " + name);
}

} // namespace detail

// The bytes of a zip archive holding the entries in order.
inline std::string craftZip(const std::vector<CraftedEntry> &entries) {
    std::string bytes;
    std::unique_ptr<archive, int (*)(archive *)> writer(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(writer.get());
    // Large runs of zeros are made fast rather than small.
    archive_write_set_options(writer.get(), "zip:compression-level=1");
    archive_write_open(writer.get(), &bytes, nullptr, detail::appendTo, nullptr);
    for (const CraftedEntry &crafted : entries) {
        std::unique_ptr<archive_entry, void (*)(archive_entry *)> entry(archive_entry_new(),
                                                                        archive_entry_free);
        archive_entry_set_pathname(entry.get(), crafted.name.c_str());
        archive_entry_set_perm(entry.get(), crafted.permissions);
        switch (crafted.kind) {
        case CraftedEntry::Kind::file:
            archive_entry_set_filetype(entry.get(), AE_IFREG);
            archive_entry_set_size(entry.get(),
                                   static_cast<la_int64_t>(crafted.content.size() + crafted.zeros));
            break;
        case CraftedEntry::Kind::folder:
            archive_entry_set_filetype(entry.get(), AE_IFDIR);
            break;
        case CraftedEntry::Kind::link:
            archive_entry_set_filetype(entry.get(), AE_IFLNK);
            archive_entry_set_symlink(entry.get(), crafted.content.c_str());
            break;
        }
        if (archive_write_header(writer.get(), entry.get()) != ARCHIVE_OK) {
            throw std::runtime_error(archive_error_string(writer.get()));
        }
        if (crafted.kind == CraftedEntry::Kind::file) {
            archive_write_data(writer.get(), crafted.content.data(), crafted.content.size());
            const std::vector<char> zeros(1 << 20, '\0');
            for (std::uint64_t left = crafted.zeros; left > 0;) {
                const std::size_t chunk =
                    static_cast<std::size_t>(std::min<std::uint64_t>(left, zeros.size()));
                archive_write_data(writer.get(), zeros.data(), chunk);
                left -= chunk;
            }
        }
    }
    archive_write_close(writer.get());
    for (const CraftedEntry &crafted : entries) {
        if (crafted.recordedMode != 0) {
            detail::recordMode(bytes, crafted.name, crafted.recordedMode);
        }
    }
    return bytes;
}

} // namespace platform::testing
