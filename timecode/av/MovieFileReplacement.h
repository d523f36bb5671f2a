#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <sys/stat.h>

namespace timecode {

// A new version of a movie file, written beside it and then renamed over it, so that readers
// see the old file or the new one whole and a failure at any point leaves the old file as it
// was. The new file keeps the old one's owner, group, permission bits and extended attributes;
// a file that would lose one of them, or other names it has, is not replaced at all.
class MovieFileReplacement {
public:
    // Why a file cannot be replaced without losing something; raised before anything is
    // written.
    class NotReplaceable : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // Opens the file (through a symbolic link, the file it names) and makes the new one, empty,
    // in its folder. Throws NotReplaceable for a file with other names (hard links), one whose
    // owner, group or extended attributes the new file cannot be given, a folder in which no
    // file can be made, or too little room on the disk for `newSize` bytes;
    // std::system_error when the file cannot be read, and MovieFormatError when it is no
    // regular file.
    MovieFileReplacement(const std::filesystem::path &path, uint64_t newSize);
    // The new file goes, unless it took the old one's place.
    ~MovieFileReplacement();
    MovieFileReplacement(const MovieFileReplacement &) = delete;
    MovieFileReplacement &operator=(const MovieFileReplacement &) = delete;

    uint64_t originalSize() const { return static_cast<uint64_t>(original_.st_size); }
    // Where the new file is, to read it back before it is committed.
    const std::filesystem::path &newFile() const { return newPath_; }

    // Add to the end of the new file: bytes given, or bytes of the old file.
    void append(std::span<const uint8_t> bytes);
    void appendOriginal(uint64_t offset, uint64_t length);
    // Overwrites bytes already in the new file.
    void write(uint64_t offset, std::span<const uint8_t> bytes);

    // Flushes the new file and renames it over the old one. Throws std::system_error when
    // that fails, and MovieFormatError when the old file changed or was replaced since it was
    // opened; the old file is then untouched.
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path newPath_;
    int originalDescriptor_ = -1;
    int newDescriptor_ = -1;
    struct stat original_ {};
    uint64_t written_ = 0;
    bool committed_ = false;
};

} // namespace timecode
