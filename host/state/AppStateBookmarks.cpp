// Bookmarks of the watched libraries: the only record of them across runs.

#include "host/state/AppState.h"

#include "core/support/Log.h"

#include <QVariantMap>

#include <algorithm>

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "libraries");
}

// Library path → bookmark bytes; a stored value of another shape reads as none.
QVariantMap bookmarkDictionary(const platform::KeyValueStore &userDefaults) {
    return userDefaults.dictionary(AppState::watchedLibraryBookmarksKey).value_or(QVariantMap());
}

std::optional<platform::SecurityScopedBookmarks::Resolved>
resolve(const platform::SecurityScopedBookmarks &bookmarks, const QVariant &data) {
    if (data.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    return bookmarks.resolve(data.toByteArray().toStdString());
}

} // namespace

void AppState::saveBookmark(const std::filesystem::path &url) {
    const std::optional<std::string> data = services_.bookmarks->bookmarkData(url);
    if (!data) {
        // Watched for this run only.
        log()->warn("No bookmark for {}: it will not be watched at the next start", url.string());
        return;
    }
    QVariantMap bookmarks = bookmarkDictionary(*services_.userDefaults);
    bookmarks.insert(QString::fromStdString(url.string()), QByteArray::fromStdString(*data));
    storeSetting(watchedLibraryBookmarksKey, bookmarks);
}

void AppState::removeBookmark(const std::filesystem::path &url) {
    QVariantMap bookmarks = bookmarkDictionary(*services_.userDefaults);
    bookmarks.remove(QString::fromStdString(url.string()));
    // A bookmark that leads nowhere now may be of a library on a drive that is not mounted:
    // it is kept for when the drive is back.
    for (auto entry = bookmarks.begin(); entry != bookmarks.end();) {
        const auto resolved = resolve(*services_.bookmarks, entry.value());
        const bool leadsToIt =
            resolved && WatchedLibrary::folderOf(resolved->url) == WatchedLibrary::folderOf(url);
        entry = leadsToIt ? bookmarks.erase(entry) : std::next(entry);
    }
    storeSetting(watchedLibraryBookmarksKey, bookmarks);
}

void AppState::restoreBookmarkedLibraries() {
    const QVariantMap bookmarks = bookmarkDictionary(*services_.userDefaults);
    for (auto entry = bookmarks.begin(); entry != bookmarks.end(); ++entry) {
        const auto resolved = resolve(*services_.bookmarks, entry.value());
        if (!resolved) {
            log()->info("Bookmark of {} leads nowhere; kept, and tried again",
                        entry.key().toStdString());
            unresolvedBookmarks_.push_back(entry.key());
            continue;
        }
        const std::filesystem::path url = WatchedLibrary::folderOf(resolved->url);
        // Access is counted only for a library that is added, so that removing it ends every
        // access started.
        if (!acceptsLibrary(url)) {
            log()->info("Bookmark of {} is not a new library; skipped", entry.key().toStdString());
            continue;
        }
        if (!services_.bookmarks->startAccessing(url)) {
            log()->warn("No access to {}; not restored", url.string());
            continue;
        }
        ++securityScopedLibraryURLs_[url];
        // Stores a fresh bookmark under the library's path, which replaces a stale one.
        addLibrary(url);
    }
}

void AppState::retryUnresolvedBookmarks() {
    if (unresolvedBookmarks_.empty()) {
        return;
    }
    if (!bookmarkRetry_) {
        bookmarkRetry_ = services_.timers();
        bookmarkRetryInterval_ = LibraryWatcher::settleInterval;
    }
    // A drive that mounts after the start is noticed soon; one that never does costs a look at
    // a few paths now and then.
    bookmarkRetryInterval_ = std::min<std::chrono::nanoseconds>(
        2 * bookmarkRetryInterval_, LibraryWatcher::longestLookInterval);
    bookmarkRetry_->start(bookmarkRetryInterval_, [this] {
        const QVariantMap bookmarks = bookmarkDictionary(*services_.userDefaults);
        std::vector<QString> still;
        for (const QString &key : unresolvedBookmarks_) {
            const auto entry = bookmarks.find(key);
            if (entry == bookmarks.end()) {
                continue; // removed meanwhile
            }
            const auto resolved = resolve(*services_.bookmarks, entry.value());
            const std::filesystem::path url =
                resolved ? WatchedLibrary::folderOf(resolved->url) : std::filesystem::path();
            if (!resolved || !acceptsLibrary(url) || !services_.bookmarks->startAccessing(url)) {
                if (!resolved || acceptsLibrary(url)) {
                    still.push_back(key);
                }
                continue;
            }
            log()->info("Bookmark of {} leads to a library again; restored", key.toStdString());
            ++securityScopedLibraryURLs_[url];
            addLibrary(url);
        }
        unresolvedBookmarks_ = std::move(still);
        retryUnresolvedBookmarks();
    });
}

} // namespace tandrel
