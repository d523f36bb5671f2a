#pragma once

#include <QByteArray>

#include <filesystem>
#include <optional>
#include <string>
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

    // Why the host does not watch `library`: nothing is there, or it is no library folder;
    // nothing when it can be watched.
    static std::optional<std::string> refusalOf(const std::filesystem::path &library);

    friend bool operator==(const HostRequest &, const HostRequest &) = default;
};

// The running host's answer to a later start's request, one line of JSON back: the libraries
// it refused, each with why. Hosts that came before it answer nothing, which the start takes
// as all taken.
struct HostAnswer {
    struct Refusal {
        std::filesystem::path library;
        std::string reason;

        friend bool operator==(const Refusal &, const Refusal &) = default;
    };
    std::vector<Refusal> refused;

    QByteArray encode() const;
    // Nothing for bytes that are not such an answer; members it does not know are skipped.
    static std::optional<HostAnswer> decode(const QByteArray &bytes);

    friend bool operator==(const HostAnswer &, const HostAnswer &) = default;
};

// How a start that handed its request over ends, by what the running host did with it: the
// exit status and what it tells on its standard error, a line each.
struct HandOverOutcome {
    int status = 0;
    std::vector<std::string> messages;

    // `answerTimedOut`: the host kept the connection open past the wait without answering;
    // `answer`: its answer line, absent when it closed without one (as hosts before answers
    // did, which took what they were given).
    static HandOverOutcome of(const HostRequest &request, bool answerTimedOut,
                              const std::optional<QByteArray> &answer);

    friend bool operator==(const HandOverOutcome &, const HandOverOutcome &) = default;
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
        "  --add-library PATH  watch the editor library PATH (a folder ending in .fcpbundle)\n"
        "Exit status: 0 done, 1 the running host did not answer, 2 a library was refused\n"
        "(nothing is started or handed over then) or the command line is wrong.\n";

    // The arguments after the program's name.
    static HostArguments parse(const std::vector<std::string> &arguments);
};

} // namespace tandrel
