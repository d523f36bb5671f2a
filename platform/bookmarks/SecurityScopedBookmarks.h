#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Bookmarks that find a file chosen by the user again in a later run, and the access to it
// that a bookmark's owner starts and ends. Bookmark bytes are opaque to their owner: stored,
// handed back for resolution, never read.
class SecurityScopedBookmarks {
public:
    struct Resolved {
        std::filesystem::path url;
        // Another file stands at the bookmarked place now: the bookmark still leads there, and
        // its owner should make a new one.
        bool isStale = false;

        friend bool operator==(const Resolved &, const Resolved &) = default;
    };

    virtual ~SecurityScopedBookmarks() = default;

    // The system's: a bookmark is the JSON object {"path", "device", "inode"} of the file as it
    // was when the bookmark was made. It resolves while something exists at the path, stale
    // when that is another file (another device or inode). No grant is needed to reach a file
    // here, so access is refused only to a path that cannot be read, and ending it does
    // nothing.
    static std::shared_ptr<SecurityScopedBookmarks> system();

    // Nothing when no bookmark can be made (nothing at that path).
    virtual std::optional<std::string> bookmarkData(const std::filesystem::path &url) const = 0;
    // Nothing when the bytes lead nowhere: not a bookmark, or nothing at its place.
    virtual std::optional<Resolved> resolve(std::string_view data) const = 0;

    // Whether access was granted; each grant is ended by one `stopAccessing`.
    virtual bool startAccessing(const std::filesystem::path &url) = 0;
    virtual void stopAccessing(const std::filesystem::path &url) = 0;
};

} // namespace platform
