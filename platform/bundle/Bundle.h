#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// An application bundle on disk: a folder "Name.app" holding "Contents/Info.plist" (the
// bundle information, a property list), "Contents/MacOS/<executable>" and
// "Contents/Resources/". Nothing is cached: each question reads the disk afresh.
class Bundle {
public:
    // Largest information file read; a bigger one counts as unreadable.
    static constexpr std::size_t maxInfoBytes = std::size_t{1} << 20;

    explicit Bundle(std::filesystem::path path) : path_(std::move(path)) {}

    // The bundle a program runs from: for an executable in "Contents/MacOS" of a folder whose
    // name ends in ".app", that folder; for any other executable, the folder it lies in.
    static Bundle ofExecutable(const std::filesystem::path &executable);

    const std::filesystem::path &bundlePath() const { return path_; }

    // "Contents/Resources/<name>" when anything exists there, else nothing.
    std::optional<std::filesystem::path> urlForResource(std::string_view name) const;

    // The text value of a top-level key of the bundle information; nothing when the file is
    // missing, unreadable, too big or no property list, or the key is absent or not text.
    std::optional<std::string> infoString(std::string_view key) const;

    // "Contents/MacOS/" followed by the information's "CFBundleExecutable" when that is a
    // plain file name, else by the bundle's name without ".app".
    std::filesystem::path executablePath() const;

private:
    std::filesystem::path path_;
};

} // namespace platform
