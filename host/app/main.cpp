// embrik-host: the host application. One per user: a second start hands its request (a main
// window, the libraries on its command line) to the running host and ends.
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/app/HostRequest.h"
#include "host/app/PrivateFolders.h"
#include "host/app/SingleInstance.h"
#include "host/app/TandrelHostApp.h"
#include "host/query/WatchedLibrary.h"

#include "core/support/Log.h"

#include <QApplication>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

namespace {

using namespace tandrel;

auto log() {
    return logger("com.ostrevale.tandrel.host", "app");
}

// A line for the terminal: whatever a path, or the host that answers the socket, put into
// it stays on its one bounded line, its controls shown rather than obeyed.
void say(const std::string &message) {
    std::fprintf(stderr, "embrik-host: %s\n", shownLogLine(message).c_str());
}

// The libraries of the command line as absolute paths; nothing, and each refusal said, when
// any of them cannot be watched.
std::optional<std::vector<std::filesystem::path>>
checkedLibraries(const std::vector<std::filesystem::path> &given) {
    std::vector<std::filesystem::path> libraries;
    bool refused = false;
    for (const std::filesystem::path &path : given) {
        std::error_code error;
        const std::filesystem::path absolute =
            WatchedLibrary::folderOf(std::filesystem::absolute(path, error).lexically_normal());
        const std::optional<std::string> refusal =
            error ? std::optional("no library folder at " + path.string())
                  : HostRequest::refusalOf(absolute);
        if (refusal) {
            say(*refusal);
            refused = true;
        } else {
            libraries.push_back(absolute);
        }
    }
    if (refused) {
        return std::nullopt;
    }
    return libraries;
}

// What the running host said of the request handed to it, as the exit status.
int handedOverStatus(const SingleInstance &instance, const HostRequest &request) {
    const HandOverOutcome outcome =
        HandOverOutcome::of(request, instance.answerTimedOut(), instance.answer());
    for (const std::string &message : outcome.messages) {
        say(message);
    }
    return outcome.status;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    const HostArguments arguments = HostArguments::parse(words);
    if (arguments.error) {
        say(*arguments.error);
        std::fputs(HostArguments::usage, stderr);
        return 2;
    }
    if (arguments.help) {
        std::fputs(HostArguments::usage, stdout);
        return 0;
    }

    corvane::installFonts();
    // The standard user defaults and the application's default settings are one store.
    QCoreApplication::setOrganizationName(QStringLiteral("Ostrevale"));
    QCoreApplication::setApplicationName(QStringLiteral("Embrik Host"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TANDREL_APP_VERSION));
    QApplication application(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Embrik Host"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.ostrevale.tandrel.host"));
    corvane::installPalette(application);

    // Like the other tools: a command line that cannot be done as given is not done in part.
    const std::optional<std::vector<std::filesystem::path>> libraries =
        checkedLibraries(arguments.libraries);
    if (!libraries) {
        return 2;
    }
    const HostRequest request{*libraries};
    QString noSocketFolder;
    SingleInstance instance(SingleInstance::standardSocketPath(&noSocketFolder));
    const SingleInstance::Claim claim = instance.claim(request.encode());
    if (claim == SingleInstance::Claim::handedOver) {
        log()->info("Handed over to the running Embrik Host");
        return handedOverStatus(instance, request);
    }
    if (claim == SingleInstance::Claim::failed) {
        log()->warn(
            "Running without the one-host socket: {}{}", instance.errorString().toStdString(),
            noSocketFolder.isEmpty() ? std::string() : " (" + noSocketFolder.toStdString() + ")");
    }

    // Before anything is written into them.
    narrowPrivateFolders();
    TandrelHostApp host;
    instance.setAnswerer([&host](const QByteArray &bytes) {
        if (const auto later = HostRequest::decode(bytes)) {
            log()->info("Another start asked for a main window");
            return host.handle(*later).encode();
        }
        log()->warn("Ignored a start's request that could not be read");
        return QByteArray();
    });
    host.handle(request);
    return application.exec();
}
