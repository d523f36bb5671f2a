#pragma once

#include "platform/runtime/FileSystemEventStream.h"

#include <filesystem>
#include <memory>
#include <unordered_map>
#include <vector>

class QSocketNotifier;

namespace platform {

// The changes below a folder from Linux's inotify, read on the Qt event loop. inotify watches
// single folders, so every subfolder gets a watch of its own: at the start, and whenever a
// folder is created or moved in, whose files found at that moment are reported as changes
// (they may have been written before its watch was set). When the kernel's queue runs over,
// the whole tree is watched afresh and the loss is reported as an overflow. Symbolic links
// below the folder are not followed, and folders deeper than `maxDepth` are not watched. When
// the folder itself goes, that is reported and the stream reports nothing more.
class InotifyEventStream final : public FileSystemEventStream {
public:
    static constexpr int maxDepth = 16;

    // Null (and a logged warning) when inotify cannot be started or the folder not watched.
    static std::unique_ptr<FileSystemEventStream> open(const std::filesystem::path &folder,
                                                       Callback callback);
    static Factory factory() { return &InotifyEventStream::open; }

    ~InotifyEventStream() override;
    InotifyEventStream(const InotifyEventStream &) = delete;
    InotifyEventStream &operator=(const InotifyEventStream &) = delete;

    // The folders watched now.
    size_t watchedFolders() const { return folders_.size(); }

private:
    struct Folder {
        std::filesystem::path path;
        int depth = 0;
    };

    InotifyEventStream(int descriptor, std::filesystem::path root, Callback callback);

    // Watches `folder` and the folders below it; with `found`, also reports what is in them.
    bool watchTree(const std::filesystem::path &folder, int depth,
                   std::vector<FileSystemEvent> *found);
    void readEvents();

    int descriptor_;
    std::filesystem::path root_;
    Callback callback_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unordered_map<int, Folder> folders_;
    bool gone_ = false;
};

} // namespace platform
