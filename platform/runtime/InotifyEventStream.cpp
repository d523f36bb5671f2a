#include "platform/runtime/InotifyEventStream.h"

#include "core/support/Log.h"

#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <system_error>
#include <tuple>

namespace platform {

namespace fs = std::filesystem;

namespace {

auto log() {
    return tandrel::logger("com.ostrevale.tandrel.host", "watcher");
}

// What changes a file's contents or a folder's listing; reads and opens are left out, so
// reading a library never reports a change of it. So is the close of a descriptor opened for
// writing: a reader may open a file read-write and write nothing (SQLite opens a database's
// write-ahead log so even on a read-only connection), and every write, truncation included,
// is reported as a modification of its own.
constexpr uint32_t watchedChanges =
    IN_CREATE | IN_MODIFY | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

// Adds each event once, in the order first seen.
class Batch {
public:
    void add(FileSystemEvent event) {
        if (seen_.insert({event.path.native(), event.overflow, event.folderGone}).second) {
            events_.push_back(std::move(event));
        }
    }
    std::vector<FileSystemEvent> &events() { return events_; }

private:
    std::set<std::tuple<std::string, bool, bool>> seen_;
    std::vector<FileSystemEvent> events_;
};

} // namespace

std::unique_ptr<FileSystemEventStream> InotifyEventStream::open(const fs::path &folder,
                                                                Callback callback) {
    const int descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (descriptor < 0) {
        const int error = errno;
        log()->warn("Cannot watch {}: {}", folder.string(), std::strerror(error));
        return nullptr;
    }
    std::unique_ptr<InotifyEventStream> stream(
        new InotifyEventStream(descriptor, folder, std::move(callback)));
    if (!stream->watchTree(folder, 0, nullptr)) {
        return nullptr;
    }
    return stream;
}

InotifyEventStream::InotifyEventStream(int descriptor, fs::path root, Callback callback)
    : descriptor_(descriptor), root_(std::move(root)), callback_(std::move(callback)),
      notifier_(std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read)) {
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { readEvents(); });
}

InotifyEventStream::~InotifyEventStream() {
    notifier_.reset();
    ::close(descriptor_);
}

bool InotifyEventStream::watchTree(const fs::path &folder, int depth,
                                   std::vector<FileSystemEvent> *found) {
    // Only the watched folder itself may be reached through a symbolic link.
    const uint32_t mask =
        watchedChanges | IN_ONLYDIR | IN_EXCL_UNLINK | (depth > 0 ? IN_DONT_FOLLOW : 0);
    const int watch = inotify_add_watch(descriptor_, folder.c_str(), mask);
    if (watch < 0) {
        const int error = errno;
        log()->warn("Cannot watch {}: {}", folder.string(), std::strerror(error));
        return false;
    }
    folders_[watch] = {folder, depth};
    if (depth >= maxDepth) {
        return true;
    }
    std::error_code error;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::directory_iterator(); it.increment(error)) {
        const bool isFolder = it->is_directory(error) && !it->is_symlink(error);
        if (found) {
            found->push_back({it->path()});
        }
        if (isFolder) {
            watchTree(it->path(), depth + 1, found);
        }
    }
    return true;
}

void InotifyEventStream::readEvents() {
    Batch batch;
    alignas(inotify_event) char buffer[64 * 1024];
    while (!gone_) {
        const ssize_t length = ::read(descriptor_, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            break; // drained (EAGAIN), or nothing more to read
        }
        for (const char *at = buffer; at < buffer + length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(at);
            at += sizeof(inotify_event) + event->len;
            if (gone_) {
                break;
            }
            if (event->mask & IN_Q_OVERFLOW) {
                // Folders created meanwhile may have no watch yet.
                watchTree(root_, 0, nullptr);
                batch.add({root_, true});
                continue;
            }
            const auto folder = folders_.find(event->wd);
            if (folder == folders_.end()) {
                continue;
            }
            // The watched folder removed, moved away or unmounted: a folder put back at its
            // place later is another folder, which this stream does not watch.
            if (folder->second.depth == 0 &&
                (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED))) {
                batch.add({root_, false, true});
                gone_ = true;
                continue;
            }
            if (event->mask & IN_IGNORED) {
                folders_.erase(folder);
                continue;
            }
            const Folder parent = folder->second;
            const fs::path changed = event->len > 0 ? parent.path / event->name : parent.path;
            batch.add({changed});
            if ((event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO)) &&
                parent.depth < maxDepth) {
                std::vector<FileSystemEvent> inside;
                watchTree(changed, parent.depth + 1, &inside);
                for (FileSystemEvent &found : inside) {
                    batch.add(std::move(found));
                }
            }
        }
    }
    if (gone_) {
        // Nothing more comes that would be read.
        notifier_->setEnabled(false);
    }
    if (!batch.events().empty()) {
        // The callback may destroy this stream: it runs from a copy, and nothing follows it.
        const Callback callback = callback_;
        callback(batch.events());
    }
}

} // namespace platform
