#include "core/database/DatabaseFileState.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>

namespace tandrel {

namespace {

constexpr char headerMagic[] = "SQLite format 3"; // and its terminating NUL: 16 bytes
constexpr size_t headerSize = 100;
// The first bytes of a rollback journal's header while it holds a commit; a journal kept
// after its commit (journal mode PERSIST) has them zeroed, one truncated to nothing has none.
constexpr std::array<unsigned char, 8> journalMagic{0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};

// The write-ahead log: a 32-byte header, then frames of a 24-byte header and one page each.
constexpr size_t logHeaderSize = 32;
constexpr size_t frameHeaderSize = 24;
// Its index begins with two copies of a 48-byte header, written one after the other by the
// writer in the machine's byte order.
constexpr size_t indexHeaderSize = 48;

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

// Up to `size` bytes from `offset` on; fewer when the file is shorter.
std::string bytesOf(const std::filesystem::path &file, size_t size, uint64_t offset = 0) {
    std::ifstream in(file, std::ios::binary);
    if (offset > 0) {
        in.seekg(static_cast<std::streamoff>(offset));
    }
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

// The first bytes of the database, read through SQLite's own file layer. The close of any
// descriptor of a file drops every lock this process holds on it, those of SQLite's
// connections included (a reader's shared lock on the database while another thread reads
// it); SQLite's layer keeps a descriptor open until its connections' locks are gone.
std::string databaseBytes(const std::filesystem::path &database, size_t size) {
    sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
    if (!vfs) {
        return {};
    }
    struct Name {
        sqlite3_filename name;
        ~Name() { sqlite3_free_filename(name); }
    } name{sqlite3_create_filename(database.c_str(), "", "", 0, nullptr)};
    const auto file = std::unique_ptr<sqlite3_file, void (*)(sqlite3_file *)>(
        static_cast<sqlite3_file *>(sqlite3_malloc(vfs->szOsFile)),
        [](sqlite3_file *f) { sqlite3_free(f); });
    if (!name.name || !file) {
        return {};
    }
    std::memset(file.get(), 0, static_cast<size_t>(vfs->szOsFile));
    int flags = 0;
    if (vfs->xOpen(vfs, name.name, file.get(), SQLITE_OPEN_READONLY | SQLITE_OPEN_MAIN_DB,
                   &flags) != SQLITE_OK) {
        if (file->pMethods) {
            file->pMethods->xClose(file.get());
        }
        return {};
    }
    std::string bytes(size, '\0');
    sqlite3_int64 length = 0;
    const bool sized = file->pMethods->xFileSize(file.get(), &length) == SQLITE_OK;
    const size_t wanted =
        sized ? std::min(size, static_cast<size_t>(std::max<sqlite3_int64>(length, 0))) : 0;
    if (wanted == 0 ||
        file->pMethods->xRead(file.get(), bytes.data(), static_cast<int>(wanted), 0) != SQLITE_OK) {
        bytes.clear();
    } else {
        bytes.resize(wanted);
    }
    file->pMethods->xClose(file.get());
    return bytes;
}

// The first bytes of a log's shared-memory index. SQLite's connections hold their locks on
// the index (the one that tells a writer other readers are there, which keeps it from
// removing the index they use) for as long as they are open, so the descriptor it is read
// through is never closed while the file is there: one per index, kept for the process's
// life and read again and again.
std::string indexBytes(const std::filesystem::path &index, size_t size) {
    struct Open {
        int descriptor = -1;
        dev_t device = 0;
        ino_t inode = 0;
    };
    static std::mutex mutex;
    static std::map<std::string, Open> open;
    const std::lock_guard guard(mutex);
    struct stat status {};
    if (::stat(index.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        // Gone (or never there): nobody can open it by its name any more.
        if (const auto gone = open.find(index.string()); gone != open.end()) {
            ::close(gone->second.descriptor);
            open.erase(gone);
        }
        return {};
    }
    Open &known = open[index.string()];
    if (known.descriptor < 0 || known.device != status.st_dev || known.inode != status.st_ino) {
        // An index that was replaced had no reader of this process left: its last writer
        // could remove it only because no lock of ours held it (or its folder went).
        if (known.descriptor >= 0) {
            ::close(known.descriptor);
        }
        known = {::open(index.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK),
                 status.st_dev, status.st_ino};
        struct stat opened {};
        if (known.descriptor < 0 || ::fstat(known.descriptor, &opened) != 0 ||
            opened.st_ino != status.st_ino || !S_ISREG(opened.st_mode)) {
            if (known.descriptor >= 0) {
                ::close(known.descriptor);
            }
            open.erase(index.string());
            return {};
        }
    }
    std::string bytes(size, '\0');
    const ssize_t read = ::pread(known.descriptor, bytes.data(), size, 0);
    bytes.resize(read > 0 ? static_cast<size_t>(read) : 0);
    return bytes;
}

uint32_t bigEndian(const std::string &bytes, size_t at, size_t width) {
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

template <typename T> T native(const std::string &bytes, size_t at) {
    T value{};
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

// The log's running checksum continued over `bytes` (a whole number of 8-byte pairs), whose
// words are read big-endian or little-endian as the log's header says.
std::array<uint32_t, 2> continued(std::array<uint32_t, 2> sum, const std::string &bytes,
                                  bool bigEndianWords) {
    const auto word = [&](size_t at) {
        if (bigEndianWords) {
            return bigEndian(bytes, at, 4);
        }
        const auto *b = reinterpret_cast<const unsigned char *>(bytes.data() + at);
        return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
               static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    };
    for (size_t at = 0; at + 8 <= bytes.size(); at += 8) {
        sum[0] += word(at) + sum[1];
        sum[1] += word(at + 4) + sum[0];
    }
    return sum;
}

// What the log and its index say of the commit into the log.
struct LogLook {
    // Why the index does not count every frame of the current log; nothing when it does (or
    // there is no log with frames in it).
    std::optional<std::string> inFlight;
    // A frame of the log's current round is begun after the last one counted, not whole yet.
    bool frameBegun = false;
};

LogLook lookAtLog(const std::filesystem::path &database,
                  const std::optional<DatabaseFileState::Stamp> &log, const std::string &index) {
    if (!log || log->size <= static_cast<int64_t>(logHeaderSize)) {
        // A header and nothing more is a round of the log being begun: it is written just
        // before the round's first frame.
        return {std::nullopt, log && log->size > 0};
    }
    const std::filesystem::path logFile = database.string() + "-wal";
    const std::string header = bytesOf(logFile, logHeaderSize);
    const uint32_t magic = header.size() == logHeaderSize ? bigEndian(header, 0, 4) : 0;
    const uint32_t pageSizeField = magic ? bigEndian(header, 8, 4) : 0;
    const int64_t pageSize = pageSizeField == 1 ? 65536 : pageSizeField;
    if ((magic & ~1u) != 0x377f0682 || pageSize < 512 || pageSize > 65536 ||
        (pageSize & (pageSize - 1)) != 0) {
        // No log SQLite would read: it starts anew, whatever follows.
        return {};
    }
    const bool bigEndianWords = magic & 1;
    const std::string salts = header.substr(16, 8);
    // Where the index has got: its last frame and the checksum after it. A log whose first
    // frames no index counts (none yet, or one not set up) is read from its start.
    uint32_t counted = 0;
    std::array<uint32_t, 2> sum{bigEndian(header, 24, 4), bigEndian(header, 28, 4)};
    if (index.size() == 2 * indexHeaderSize) {
        if (index.compare(0, indexHeaderSize, index, indexHeaderSize, indexHeaderSize) != 0) {
            return {"has its log's index being changed"};
        }
        const bool initialised = index[12] != 0;
        if (initialised) {
            counted = native<uint32_t>(index, 16);
            if (counted > 0) {
                if (index.compare(32, 8, salts) != 0) {
                    return {"has its log being started anew"};
                }
                sum = {native<uint32_t>(index, 24), native<uint32_t>(index, 28)};
            }
        }
    }
    // The frame after the last one counted belongs to this log when it carries the log's salts
    // and continues its checksum: written, and not counted yet. One that carries the salts but
    // is not whole, or does not continue the checksum, may be being written.
    const uint64_t next =
        logHeaderSize + static_cast<uint64_t>(counted) * (frameHeaderSize + pageSize);
    if (next >= static_cast<uint64_t>(log->size)) {
        return {};
    }
    const std::string frame = bytesOf(logFile, frameHeaderSize + pageSize, next);
    if (frame.size() < frameHeaderSize) {
        return {std::nullopt, true};
    }
    if (frame.compare(8, 8, salts) != 0) {
        return {}; // a frame of a round before, or no frame
    }
    if (frame.size() != frameHeaderSize + static_cast<size_t>(pageSize)) {
        return {std::nullopt, true};
    }
    sum = continued(sum, frame.substr(0, 8), bigEndianWords);
    sum = continued(sum, frame.substr(frameHeaderSize), bigEndianWords);
    if (sum[0] != bigEndian(frame, 16, 4) || sum[1] != bigEndian(frame, 20, 4)) {
        return {std::nullopt, true};
    }
    return {"has frames in its log that its index does not count yet"};
}

} // namespace

DatabaseFileState DatabaseFileState::of(const std::filesystem::path &database) {
    DatabaseFileState state;
    state.database = stampOf(database);
    state.log = stampOf(database.string() + "-wal");
    if (state.database) {
        const std::string header = databaseBytes(database, headerSize);
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
    const std::string journal = bytesOf(database.string() + "-journal", journalMagic.size());
    state.commitInProgress =
        journal.size() == journalMagic.size() &&
        std::memcmp(journal.data(), journalMagic.data(), journalMagic.size()) == 0;
    if (state.log) {
        const std::string index = indexBytes(database.string() + "-shm", 2 * indexHeaderSize);
        if (index.size() == 2 * indexHeaderSize) {
            state.logIndexHeader = index.substr(0, indexHeaderSize);
        }
        LogLook look = lookAtLog(database, state.log, index);
        state.logInFlight = std::move(look.inFlight);
        state.logFrameBegun = look.frameBegun;
    }
    return state;
}

bool DatabaseFileState::logIsIndexedWhole(const std::filesystem::path &database) {
    const DatabaseFileState state = of(database);
    return state.log && !state.logIndexHeader.empty() && state.logIndexHeader[12] != 0 &&
           !state.logInFlight && !state.logFrameBegun;
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
    // A rewrite in place that ends smaller than the file was writes the new header first
    // and cuts the old rest off last: until then the new pages lie among old ones.
    if (declaredSize && database->size > *declaredSize) {
        return "is being rewritten: " + std::to_string(database->size) + " bytes where its " +
               "header says " + std::to_string(*declaredSize);
    }
    return logInFlight;
}

} // namespace tandrel
