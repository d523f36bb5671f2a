#include "wrapper/AppDelegate.h"

#include "wrapper/StatusWindow.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdio>

namespace tandrel {

bool AppDelegate::isSilentInstall(const std::vector<std::string> &arguments) {
    return std::find(arguments.begin(), arguments.end(), "--silent-install") != arguments.end();
}

void AppDelegate::applicationDidFinishLaunching(const std::vector<std::string> &arguments) {
    const bool silent = isSilentInstall(arguments);
    try {
        installMotionTemplate();
    } catch (const std::exception &error) {
        showStatusWindow(false, error.what());
        return;
    }
    if (silent) {
        environment_.terminate(0);
    } else {
        showStatusWindow(true, std::nullopt);
    }
}

std::filesystem::path AppDelegate::installMotionTemplate() {
    MotionTemplateInstaller installer(environment_.bundle, environment_.home, *environment_.files);
    const std::filesystem::path installed = installer.install();
    // Only a completed installation updates the marker.
    writeInstalledVersionMarker();
    return installed;
}

void AppDelegate::writeInstalledVersionMarker() {
    if (!environment_.markerLocation) {
        return;
    }
    const PluginVersionMarker marker{
        environment_.bundle.infoString("CFBundleShortVersionString").value_or("0"),
        environment_.bundle.infoString("CFBundleVersion").value_or("0")};
    marker.writeIgnoringFailures(*environment_.markerLocation);
}

void AppDelegate::showStatusWindow(bool templateInstalled,
                                   const std::optional<std::string> &errorDetail) {
    if (environment_.headless) {
        std::FILE *stream = templateInstalled ? stdout : stderr;
        std::fprintf(stream, "%s\n", StatusWindow::text(templateInstalled, errorDetail).c_str());
        std::fflush(stream);
        environment_.terminate(templateInstalled ? 0 : 1);
        return;
    }
    window_ = StatusWindow::make(templateInstalled, errorDetail);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = window_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window_->move(frame.topLeft());
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

} // namespace tandrel
