#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Rules for the names inside an application bundle, and inside an archive that unpacks into
// one, checked on the text before anything touches the disk.
struct BundlePath {
    // Longest relative path accepted, in bytes.
    static constexpr std::size_t maxLength = 1024;
    // Longest component accepted, in bytes: the longest name a Linux file system stores.
    static constexpr std::size_t maxComponentLength = 255;

    // Why `relative` is not a plain relative path, or nothing when it is one. A plain path is
    // not empty, at most `maxLength` bytes, does not start with "/", has no empty, "." or ".."
    // component, no component longer than `maxComponentLength` bytes (which no folder could
    // hold) and no control character (a name with a line break could forge a line of a tool's
    // output).
    static std::optional<std::string> problem(std::string_view relative);

    // Whether a link at `linkPath` (a plain path relative to a container folder) whose content
    // is `target` points inside that container. The target must be relative, may climb with
    // ".." only at its start and no higher than the container, and must not climb again after
    // descending: a ".." after a component that is itself a link would climb from wherever
    // that link points, so only leading ".." keep the test exact.
    static bool linkStaysInside(std::string_view linkPath, std::string_view target);

    // The text with control characters and backslashes written as escapes ("\u{0A}", "\\";
    // withControlsShown), for messages that quote names from outside.
    static std::string printable(std::string_view text);
};

} // namespace platform
