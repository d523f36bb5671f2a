#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>

namespace platform {

// Bounds on what one archive may unpack into.
struct ExtractionLimits {
    std::uint64_t maxEntries = 20'000;
    // Bytes of file content in all, counted as they are written and checked beforehand
    // against the sizes the archive declares.
    std::uint64_t maxBytes = std::uint64_t{512} << 20;
};

// An archive that was refused or could not be read. The text says why and names the entry.
class ExtractionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Unpacks zip archives from outside. Every entry is judged before anything of it is written,
// and the first one refused stops the extraction:
// - names must be plain relative paths (BundlePath::problem): no "..", no absolute path, no
//   control character;
// - only files, folders and symbolic links; hard links, pipes, devices and sockets are
//   refused, as are set-user-ID and set-group-ID entries;
// - a link must point inside the top-level folder that holds it (BundlePath::
//   linkStaysInside), so a link at the top level is refused; nothing is written through a
//   link: an entry below a link entry, or a second entry for one name, is refused;
// - at most `maxEntries` entries and `maxBytes` bytes of content.
// Only a regular file is read as an archive (a pipe is refused, not waited on). Names are
// taken as UTF-8 whatever the process's locale. Owners, access lists and extended attributes
// are never restored; a folder keeps its permission bits but is always writable and
// searchable by its owner, so that what was unpacked can be removed again, and never by
// others. What was written before a refused entry stays in `destination`; nothing is written
// outside it.
struct ArchiveExtractor {
    // `destination` must be an existing folder; it should be empty.
    static void extract(const std::filesystem::path &archive,
                        const std::filesystem::path &destination,
                        const ExtractionLimits &limits = {});
    static void extract(std::span<const std::uint8_t> archive,
                        const std::filesystem::path &destination,
                        const ExtractionLimits &limits = {});
};

} // namespace platform
