#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

// One change below a watched folder.
struct FileSystemEvent {
    // The file or folder that was created, written, removed or renamed; for an overflow, the
    // watched folder.
    std::filesystem::path path;
    // Changes were lost (the system's queue ran over): anything below the folder may have
    // changed.
    bool overflow = false;
    // The watched folder itself went (removed, moved away, its drive unmounted); `path` is the
    // folder. The stream reports nothing more.
    bool folderGone = false;

    friend bool operator==(const FileSystemEvent &, const FileSystemEvent &) = default;
};

// A stream of the changes below one folder, subfolders included, delivered on the event loop
// of the thread that opened it, each path once per delivery, until the folder goes. Destroying the
// stream stops it; no delivery comes after that.
class FileSystemEventStream {
public:
    // May destroy the stream that calls it.
    using Callback = std::function<void(const std::vector<FileSystemEvent> &events)>;
    // Opens a stream on `folder`; null when the folder cannot be watched.
    using Factory = std::function<std::unique_ptr<FileSystemEventStream>(
        const std::filesystem::path &folder, Callback callback)>;

    virtual ~FileSystemEventStream() = default;
};

} // namespace platform
