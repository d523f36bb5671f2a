// embrik-host: the host application. One per user: a second start hands its request (a main
// window, the libraries on its command line) to the running host and ends.
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/app/HostRequest.h"
#include "host/app/SingleInstance.h"
#include "host/app/TandrelHostApp.h"
#include "host/query/WatchedLibrary.h"

#include "core/support/Log.h"

#include <QApplication>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

using namespace tandrel;

auto log() {
    return logger("com.ostrevale.tandrel.host", "app");
}

// The libraries of the command line as absolute paths; one that is missing or no library is
// named and left out.
std::vector<std::filesystem::path>
checkedLibraries(const std::vector<std::filesystem::path> &given) {
    std::vector<std::filesystem::path> libraries;
    for (const std::filesystem::path &path : given) {
        std::error_code error;
        const std::filesystem::path absolute =
            WatchedLibrary::folderOf(std::filesystem::absolute(path, error).lexically_normal());
        if (error || !std::filesystem::is_directory(absolute, error)) {
            std::fprintf(stderr, "embrik-host: no library folder at %s\n", path.c_str());
        } else if (!WatchedLibrary::isLibraryFolder(absolute)) {
            std::fprintf(stderr,
                         "embrik-host: %s is no library (its name must end in .fcpbundle)\n",
                         path.c_str());
        } else {
            libraries.push_back(absolute);
        }
    }
    return libraries;
}

} // namespace

int main(int argc, char **argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    const HostArguments arguments = HostArguments::parse(words);
    if (arguments.error) {
        std::fprintf(stderr, "embrik-host: %s\n%s", arguments.error->c_str(), HostArguments::usage);
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

    const HostRequest request{checkedLibraries(arguments.libraries)};
    SingleInstance instance(SingleInstance::standardSocketPath());
    const SingleInstance::Claim claim = instance.claim(request.encode());
    if (claim == SingleInstance::Claim::handedOver) {
        log()->info("Handed over to the running Embrik Host");
        return 0;
    }
    if (claim == SingleInstance::Claim::failed) {
        log()->warn("Running without the one-host socket: {}",
                    instance.errorString().toStdString());
    }

    TandrelHostApp host;
    QObject::connect(&instance, &SingleInstance::requestReceived, &host,
                     [&host](const QByteArray &bytes) {
                         if (const auto later = HostRequest::decode(bytes)) {
                             log()->info("Another start asked for a main window");
                             host.handle(*later);
                         } else {
                             log()->warn("Ignored a start's request that could not be read");
                         }
                     });
    host.handle(request);
    return application.exec();
}
