#include "platform/bookmarks/SecurityScopedBookmarks.h"

#include "core/support/JsonText.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

namespace {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

std::optional<FileIdentity> identity(const std::filesystem::path &path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                        static_cast<std::uint64_t>(status.st_ino)};
}

class FileBookmarks final : public SecurityScopedBookmarks {
public:
    std::optional<std::string> bookmarkData(const std::filesystem::path &url) const override {
        std::error_code error;
        const std::filesystem::path path = std::filesystem::absolute(url, error);
        const std::optional<FileIdentity> file =
            error || url.empty() ? std::nullopt : identity(path);
        if (!file) {
            return std::nullopt;
        }
        tandrel::Json bookmark = tandrel::Json::object();
        bookmark["path"] = path.string();
        bookmark["device"] = file->device;
        bookmark["inode"] = file->inode;
        return tandrel::encodeJsonText(bookmark);
    }

    std::optional<Resolved> resolve(std::string_view data) const override {
        tandrel::Json bookmark;
        try {
            bookmark = tandrel::parseJsonText(data);
        } catch (const tandrel::DecodingError &) {
            return std::nullopt;
        }
        if (!bookmark.is_object()) {
            return std::nullopt;
        }
        const auto path = bookmark.find("path");
        const auto device = bookmark.find("device");
        const auto inode = bookmark.find("inode");
        if (path == bookmark.end() || !path->is_string() || device == bookmark.end() ||
            !device->is_number_unsigned() || inode == bookmark.end() ||
            !inode->is_number_unsigned()) {
            return std::nullopt;
        }
        const std::filesystem::path url = path->get<std::string>();
        if (!url.is_absolute()) {
            return std::nullopt;
        }
        const std::optional<FileIdentity> now = identity(url);
        if (!now) {
            return std::nullopt;
        }
        const bool same = now->device == device->get<std::uint64_t>() &&
                          now->inode == inode->get<std::uint64_t>();
        return Resolved{url, !same};
    }

    bool startAccessing(const std::filesystem::path &url) override {
        return ::access(url.c_str(), R_OK) == 0;
    }

    void stopAccessing(const std::filesystem::path &) override {}
};

} // namespace

std::shared_ptr<SecurityScopedBookmarks> SecurityScopedBookmarks::system() {
    static const auto bookmarks = std::make_shared<FileBookmarks>();
    return bookmarks;
}

} // namespace platform
