#include "host/app/MenuBarExtra.h"

#include "core/support/Log.h"
#include "designkit/Color.h"

#include <QApplication>
#include <QCursor>
#include <QSystemTrayIcon>

namespace tandrel {

MenuBarExtra::MenuBarExtra(const AppState &state, MenuBarView::Actions actions, QObject *parent)
    : QObject(parent), menu_(std::make_unique<MenuBarView>(state, std::move(actions))) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        static bool told = false;
        if (!told) {
            told = true;
            logger("com.ostrevale.tandrel.host", "app")
                ->info("This desktop has no system tray: the menu-bar extra is not shown");
        }
        return;
    }
    trayIcon_ = new QSystemTrayIcon(
        MenuBarView::symbolIcon(QString::fromUtf8(MenuBarContent::symbol), corvane::Color::white()),
        this);
    trayIcon_->setToolTip(QString::fromUtf8(MenuBarContent::title));
    trayIcon_->setContextMenu(menu_.get());
    // A plain click opens the menu too, as a menu-bar extra does.
    connect(trayIcon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger) {
                    menu_->popup(QCursor::pos());
                }
            });
    trayIcon_->show();
    // The host keeps serving with its windows closed; the tray's menu quits it.
    QApplication::setQuitOnLastWindowClosed(false);
}

MenuBarExtra::~MenuBarExtra() {
    // The icon lets go of its menu before the menu goes.
    delete trayIcon_;
}

} // namespace tandrel
