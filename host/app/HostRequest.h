#pragma once

#include <QByteArray>

#include <filesystem>
#include <optional>
#include <vector>

namespace tandrel {

// What a start of the host asks of the host: a main window on screen, and the libraries given
// on its command line watched. A later start sends it to the running host as one line of JSON.
struct HostRequest {
    // Absolute paths.
    std::vector<std::filesystem::path> libraries;

    QByteArray encode() const;
    // Nothing for bytes that are not such a request.
    static std::optional<HostRequest> decode(const QByteArray &bytes);

    friend bool operator==(const HostRequest &, const HostRequest &) = default;
};

// The command line of `embrik-host`: `[--add-library PATH]...`, `--help`.
struct HostArguments {
    std::vector<std::filesystem::path> libraries;
    bool help = false;
    // Why the command line was refused.
    std::optional<std::string> error;

    static constexpr const char *usage =
        "usage: embrik-host [--add-library PATH]...\n"
        "Opens Embrik Host, or brings the running one forward.\n"
        "  --add-library PATH  watch the editor library PATH (a folder ending in .fcpbundle)\n";

    // The arguments after the program's name.
    static HostArguments parse(const std::vector<std::string> &arguments);
};

} // namespace tandrel
