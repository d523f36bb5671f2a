#pragma once

#include "core/support/FileAccess.h"
#include "core/support/PrivateFolder.h"

#include <filesystem>
#include <functional>
#include <string_view>

namespace tandrel {

// Replaces a file whole, so that a reader in another process sees either the old content or
// the new one and never a part: the folder is created when missing, the bytes go to a new
// temporary file beside the target, are flushed to disk and renamed over the target, and then
// the folder itself is flushed so the rename survives a crash.
//
// Fails with std::system_error (std::filesystem::filesystem_error for the folder). On any
// failure before the rename the previous file is untouched and the temporary file is gone; a
// writer killed on the way leaves its temporary file, which the next write beside it removes
// (a writer holds a lock on its temporary file until the rename, so only those whose writer
// has gone are taken). A file written for the user alone goes into a folder that is the
// user's alone (PrivateFolder): one that another user owns or may write is refused with
// NotOursError, and nothing is written.
// Once the rename is done the write has succeeded: readers see the new file, so a folder that
// cannot be flushed afterwards is logged as a warning, not reported as a failure. The new
// file and the folders it makes are as the access says (0644 and 0755, or the user's only:
// 0600 and 0700), whatever the umask allows beyond that; since the new file takes the old
// one's place, an old file that others could read or write is gone with the first write.
struct AtomicFileWriter {
    // Flushes a folder's entries to disk; fails with std::system_error.
    using FolderFlush = std::function<void(const std::filesystem::path &folder)>;

    static void write(const std::filesystem::path &target, std::string_view bytes,
                      FileAccess access = FileAccess::standard);
    // The same with another flush of the folder (tests make it fail).
    static void write(const std::filesystem::path &target, std::string_view bytes,
                      const FolderFlush &flushFolder, FileAccess access = FileAccess::standard);
    // The file `name` in a folder of the user's own, for the user alone.
    static void write(const PrivateFolder &folder, const std::string &name, std::string_view bytes,
                      const FolderFlush &flushFolder = {});

    // fsync of the folder; a file system that cannot flush folders at all (EINVAL) is no
    // failure.
    static void flushFolder(const std::filesystem::path &folder);
};

} // namespace tandrel
