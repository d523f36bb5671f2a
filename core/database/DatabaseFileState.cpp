#include "core/database/DatabaseFileState.h"

#include <sys/stat.h>

#include <array>
#include <cstring>
#include <fstream>

namespace tandrel {

namespace {

constexpr char headerMagic[] = "SQLite format 3"; // and its terminating NUL: 16 bytes
constexpr size_t headerSize = 100;
// The first bytes of a rollback journal's header while it holds a commit; a journal kept
// after its commit (journal mode PERSIST) has them zeroed, one truncated to nothing has none.
constexpr std::array<unsigned char, 8> journalMagic{0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};

std::optional<DatabaseFileState::Stamp> stampOf(const std::filesystem::path &file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return DatabaseFileState::Stamp{
        static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino),
        static_cast<int64_t>(status.st_size),
        static_cast<int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

// Up to `size` bytes from the start of the file; fewer when it is shorter.
std::string firstBytes(const std::filesystem::path &file, size_t size) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

uint32_t bigEndian(const std::string &bytes, size_t at, size_t width) {
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

} // namespace

DatabaseFileState DatabaseFileState::of(const std::filesystem::path &database) {
    DatabaseFileState state;
    state.database = stampOf(database);
    state.log = stampOf(database.string() + "-wal");
    if (state.database) {
        const std::string header = firstBytes(database, headerSize);
        const size_t compared = std::min(header.size(), sizeof headerMagic);
        state.notADatabase = std::memcmp(header.data(), headerMagic, compared) != 0;
        // The page count is the database's size only while the header was written by a
        // writer that keeps it (its "valid for" counter equals the change counter).
        if (!state.notADatabase && header.size() == headerSize &&
            bigEndian(header, 92, 4) == bigEndian(header, 24, 4)) {
            const uint32_t pageSize = bigEndian(header, 16, 2);
            const int64_t bytesPerPage = pageSize == 1 ? 65536 : pageSize;
            state.declaredSize = static_cast<int64_t>(bigEndian(header, 28, 4)) * bytesPerPage;
        }
    }
    const std::string journal = firstBytes(database.string() + "-journal", journalMagic.size());
    state.commitInProgress =
        journal.size() == journalMagic.size() &&
        std::memcmp(journal.data(), journalMagic.data(), journalMagic.size()) == 0;
    return state;
}

bool DatabaseFileState::logIsIndexedWhole(const std::filesystem::path &database) {
    // The index begins with two copies of its header, written one after the other by the
    // writer (in the machine's byte order): equal copies are a header not being changed.
    constexpr size_t headerCopy = 48;
    const std::string index = firstBytes(database.string() + "-shm", 2 * headerCopy);
    const std::optional<Stamp> log = stampOf(database.string() + "-wal");
    if (index.size() != 2 * headerCopy || !log ||
        std::memcmp(index.data(), index.data() + headerCopy, headerCopy) != 0) {
        return false;
    }
    const auto native = [&](size_t at, size_t width) {
        uint32_t value = 0;
        std::memcpy(&value, index.data() + at, width);
        return value;
    };
    const bool initialised = index[12] != 0;
    uint16_t pageSizeField = 0;
    std::memcpy(&pageSizeField, index.data() + 14, sizeof pageSizeField);
    const int64_t pageSize = pageSizeField == 1 ? 65536 : pageSizeField;
    const int64_t frames = native(16, 4);
    // The log: a 32-byte header, then one 24-byte header and one page per frame.
    return initialised && pageSize > 0 && log->size == 32 + frames * (24 + pageSize);
}

std::optional<std::string> DatabaseFileState::inTheMiddleOfASave() const {
    if (!database || notADatabase) {
        return std::nullopt;
    }
    if (commitInProgress) {
        return "is being committed to";
    }
    // A copy over the file starts by emptying it and writes the header first.
    if (database->size < static_cast<int64_t>(headerSize) ||
        (declaredSize && database->size < *declaredSize)) {
        return "is being written: " + std::to_string(database->size) + " of " +
               (declaredSize ? std::to_string(*declaredSize) : std::string("more")) + " bytes";
    }
    return std::nullopt;
}

} // namespace tandrel
