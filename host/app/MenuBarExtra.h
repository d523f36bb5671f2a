#pragma once

#include "host/views/menubar/MenuBarView.h"

#include <QObject>

#include <memory>

class QSystemTrayIcon;

namespace tandrel {

class AppState;

// The host's menu-bar extra: an icon in the desktop's system tray, titled "Embrik", whose
// menu tells what the host serves and watches. Where the desktop has no tray the host runs
// without it and says so once in the log; the menu itself is made all the same.
class MenuBarExtra : public QObject {
    Q_OBJECT

public:
    MenuBarExtra(const AppState &state, MenuBarView::Actions actions, QObject *parent = nullptr);
    ~MenuBarExtra() override;

    MenuBarView *menu() const { return menu_.get(); }
    // Null without a tray.
    QSystemTrayIcon *trayIcon() const { return trayIcon_; }

private:
    std::unique_ptr<MenuBarView> menu_;
    QSystemTrayIcon *trayIcon_ = nullptr;
};

} // namespace tandrel
