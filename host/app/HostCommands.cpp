#include "host/app/HostCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace tandrel {

HostCommands::HostCommands(Handlers handlers, QObject *parent)
    : QObject(parent), checkForUpdates_(add(QStringLiteral("Check for Updates…"), {},
                                            std::move(handlers.checkForUpdates))),
      // One sequence: where "?" is a shifted key (Ctrl+Shift+/ on a US keyboard) the desktop's
      // keymap reports that press as Ctrl+? too, and a second sequence for the same press would
      // make it ambiguous, so that neither fired.
      sendFeedback_(add(QStringLiteral("Send Feedback…"), {QKeySequence(QStringLiteral("Ctrl+?"))},
                        std::move(handlers.sendFeedback))),
      settings_(add(QStringLiteral("Settings…"), {QKeySequence(QStringLiteral("Ctrl+,"))},
                    std::move(handlers.settings))),
      newWindow_(add(QStringLiteral("New Window"), {QKeySequence(QKeySequence::New)},
                     std::move(handlers.newWindow))),
      quit_(add(QStringLiteral("Quit"), {QKeySequence(QStringLiteral("Ctrl+Q"))},
                std::move(handlers.quit))) {
    settings_->setMenuRole(QAction::PreferencesRole);
    quit_->setMenuRole(QAction::QuitRole);
}

QAction *HostCommands::add(const QString &text, const QList<QKeySequence> &shortcuts,
                           std::function<void()> handler) {
    auto *action = new QAction(text, this);
    action->setShortcuts(shortcuts);
    // Host-wide, as a desktop's menu bar would be: any window of the host takes the keys.
    action->setShortcutContext(Qt::ApplicationShortcut);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] {
        if (handler) {
            handler();
        }
    });
    return action;
}

QList<QAction *> HostCommands::all() const {
    return {checkForUpdates_, sendFeedback_, settings_, newWindow_, quit_};
}

void HostCommands::fillMenuBar(QMenuBar *menuBar) const {
    QMenu *file = menuBar->addMenu(QStringLiteral("File"));
    file->addAction(newWindow_);
    file->addAction(settings_);
    file->addSeparator();
    file->addAction(quit_);
    QMenu *help = menuBar->addMenu(QStringLiteral("Help"));
    help->addAction(sendFeedback_);
    help->addSeparator();
    help->addAction(checkForUpdates_);
}

} // namespace tandrel
