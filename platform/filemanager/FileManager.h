#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The file operations that install and replace applications and templates. Every operation
// acts on the entry at the path itself: symbolic links are copied, moved and removed as
// links and never followed, so a link planted in a folder cannot redirect a copy or a removal
// elsewhere. Failures throw std::system_error whose text names the operation and the paths
// ("Cannot move \"a\" to \"b\": Permission denied") and whose code is the system's errno.
//
// The operations are virtual so that tests can make one of them fail; `standard()` is the
// real one, safe to use from any thread.
class FileManager {
public:
    virtual ~FileManager() = default;

    static FileManager &standard();

    // Copies a file, a link or a folder with everything in it to `to`, which must not exist.
    // Permission bits come along without the set-user-ID, set-group-ID and sticky bits and
    // without write access for the group and others, whatever the umask; owners and times do
    // not. Anything but files, links and folders (pipes, devices, sockets) fails.
    // After a failure `to` may hold part of the copy.
    virtual void copyItem(const std::filesystem::path &from, const std::filesystem::path &to);

    // Renames `from` to `to` on the same file system; fails when anything exists at `to`.
    virtual void moveItem(const std::filesystem::path &from, const std::filesystem::path &to);

    // Removes a file, a link or a folder with everything in it; nothing at the path is fine.
    virtual void removeItem(const std::filesystem::path &at);

    // Creates the folder and any missing folders above it, each 0755 (only the owner writes
    // them, whatever the umask); an existing folder is fine and keeps its mode.
    virtual void createDirectories(const std::filesystem::path &at);

    // Swaps what is at the two paths (on one file system) in one step, so that neither is ever
    // missing. Fails with EINVAL where the file system cannot swap.
    virtual void exchangeItems(const std::filesystem::path &a, const std::filesystem::path &b);

    // Puts a copy of `from` at `to`, replacing whatever is there only once the copy is
    // complete: the copy is made in a private folder ".<name>.new-<UUID>" beside `to`, held
    // locked while this runs, then swapped with what is at `to` (or renamed in where nothing
    // is), and the folder goes with the old item in it. Where the file system cannot swap,
    // the old item is renamed into that folder and the copy renamed in. On any failure the
    // copy is discarded and the old item is back at `to`, and the first error is thrown.
    // Such a folder left by a process that died (its lock gone with it) is removed by the next
    // replacement of `to`, putting back an old item it holds where nothing is at `to`.
    void replaceItem(const std::filesystem::path &from, const std::filesystem::path &to);
};

// The content of a regular file, opened without following a link at the last component and
// without blocking: nothing when the path is missing, is not a regular file (a pipe put there
// would otherwise hang the reader), cannot be read or holds more than `maxBytes`.
std::optional<std::string> readRegularFile(const std::filesystem::path &path, std::size_t maxBytes);

} // namespace platform
