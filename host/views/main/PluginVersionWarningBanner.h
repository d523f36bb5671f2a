#pragma once

#include "host/state/PluginUpdateState.h"
#include "host/update/PluginVersionWarningBannerModel.h"

#include <QUrl>
#include <QWidget>

#include <optional>

class QAbstractButton;
class QLabel;

namespace tandrel {

class UrlOpener;

// The strip of a main window that tells what the plug-in update check is doing or has done:
// an icon, the message, and the two buttons that help when it failed. It keeps no state; the
// window gives it each new state of the check.
class PluginVersionWarningBanner : public QWidget {
    Q_OBJECT

public:
    // Where the two buttons lead, and what opens them.
    struct Links {
        // The full installer on the update server; nothing without a server.
        std::optional<QUrl> fullInstaller;
        UrlOpener *opener = nullptr;

        // The build's update server, and the desktop's opener.
        static Links standard();
    };

    PluginVersionWarningBanner(const PluginUpdateState &state, Links links,
                               QWidget *parent = nullptr);

    const PluginUpdateState &state() const { return state_; }
    void setState(const PluginUpdateState &state);
    const PluginVersionWarningBannerModel &model() const { return model_; }

    QLabel *message() const { return message_; }
    QAbstractButton *appManagementButton() const { return appManagement_; }
    QAbstractButton *downloadInstallerButton() const { return download_; }

private:
    void rebuildIcon();

    PluginUpdateState state_;
    Links links_;
    PluginVersionWarningBannerModel model_;
    QWidget *icon_ = nullptr;
    QLabel *message_;
    QAbstractButton *appManagement_;
    QAbstractButton *download_;
};

} // namespace tandrel
