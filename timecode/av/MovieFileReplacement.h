#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

namespace timecode {

// A new version of a movie file, written beside it and then renamed over it, so that readers
// see the old file or the new one whole and a failure at any point leaves the old file as it
// was. The new file keeps the old one's owner, group, permission bits and extended attributes;
// a file that would lose one of them, or other names it has, is not replaced at all.
//
// The new file has no name while it is written (O_TMPFILE), so a process that dies meanwhile
// leaves nothing behind: it takes a hidden name beside the movie only for the moment between
// its link and its rename, locked all that while. Such a name left by a process that died in
// that moment (its lock gone with it) is removed by the next replacement of the movie, as is
// a partial copy an older release left under its own hidden name. Holes of the old file stay
// holes in the new one.
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
    // file can be made, or too little room on the disk for the new file (its data, holes
    // aside, `newSize` bytes long); std::system_error naming the movie when the file cannot be
    // read, and MovieFormatError when it is no regular file.
    MovieFileReplacement(const std::filesystem::path &path, uint64_t newSize);
    // The new file goes, unless it took the old one's place.
    ~MovieFileReplacement();
    MovieFileReplacement(const MovieFileReplacement &) = delete;
    MovieFileReplacement &operator=(const MovieFileReplacement &) = delete;

    uint64_t originalSize() const { return static_cast<uint64_t>(original_.st_size); }
    // Where the new file can be read, to read it back before it is committed.
    const std::filesystem::path &newFile() const { return newPath_; }

    // Add to the end of the new file: bytes given, or bytes of the old file (its holes left
    // holes).
    void append(std::span<const uint8_t> bytes);
    void appendOriginal(uint64_t offset, uint64_t length);
    // Overwrites bytes already in the new file.
    void write(uint64_t offset, std::span<const uint8_t> bytes);

    // Flushes the new file and renames it over the old one. Throws std::system_error when
    // that fails, and MovieFormatError when the old file changed or was replaced since it was
    // opened; the old file is then untouched.
    void commit();

    // Removes what saves of the movie that died left beside it (see above); a failure leaves
    // it where it is.
    static void removeLeftovers(const std::filesystem::path &movie);

    // The hidden name a new version of the movie named `movieName` takes for a moment, with
    // `unique` (six characters) in it; at most 255 bytes whatever the movie's name.
    static std::string hiddenName(const std::string &movieName, const std::string &unique);

private:
    // Gives the new file a hidden name beside the movie (held under its lock).
    void link();
    // Removes the hidden name given, unless it names another file by now.
    void unlinkHiddenName();

    std::filesystem::path target_;
    std::string targetName_;
    int folderDescriptor_ = -1;
    int originalDescriptor_ = -1;
    int newDescriptor_ = -1;
    struct stat original_ {};
    struct stat made_ {};
    // The path the new file is read at: its hidden name, or its descriptor in /proc.
    std::filesystem::path newPath_;
    // The hidden name it has, if any.
    std::string hiddenName_;
    uint64_t written_ = 0;
    bool committed_ = false;
};

} // namespace timecode
