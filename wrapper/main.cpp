// Embrik: installs the effect's Motion template for the user, records the installed plug-in
// version for the host, shows the result unless a silent installation succeeded, and quits.
#include "wrapper/AppDelegate.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdlib>

namespace {

// No display and no platform chosen: an unattended installation on a machine without a
// window system. The offscreen platform lets the application start; the result is printed.
bool chooseHeadless() {
    const auto unset = [](const char *name) {
        const char *value = std::getenv(name);
        return value == nullptr || *value == '\0';
    };
    if (unset("DISPLAY") && unset("WAYLAND_DISPLAY") && unset("QT_QPA_PLATFORM")) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv) {
    const bool headless = chooseHeadless();
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(
        tandrel::AppDelegate::applicationShouldTerminateAfterLastWindowClosed());

    std::optional<std::filesystem::path> markerLocation;
    try {
        markerLocation = tandrel::PluginVersionMarker::location();
    } catch (const std::exception &) {
        // No home folder: the template may still install; only the marker is left out.
    }
    tandrel::AppDelegate delegate({
        platform::Bundle::ofExecutable(QCoreApplication::applicationFilePath().toStdString()),
        QDir::homePath().toStdString(),
        markerLocation,
        [](int status) {
            QMetaObject::invokeMethod(
                qApp, [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
        },
        headless,
    });

    std::vector<std::string> arguments;
    for (const QString &argument : QCoreApplication::arguments()) {
        arguments.push_back(argument.toStdString());
    }
    QTimer::singleShot(0, [&] { delegate.applicationDidFinishLaunching(arguments); });
    return application.exec();
}
