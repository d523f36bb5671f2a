#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QMenuBar;

namespace tandrel {

// The host's commands, one action each, shared by every window: the same action sits in the
// menu bar of every main window and answers its shortcut from any window of the host. Linux
// has no menu bar of the desktop's to put them in, so each main window carries its own.
class HostCommands : public QObject {
    Q_OBJECT

public:
    struct Handlers {
        std::function<void()> checkForUpdates;
        std::function<void()> sendFeedback;
        std::function<void()> settings;
        std::function<void()> newWindow;
        std::function<void()> quit;
    };

    explicit HostCommands(Handlers handlers, QObject *parent = nullptr);

    QAction *checkForUpdates() const { return checkForUpdates_; }
    // Ctrl+? (typed as Ctrl+Shift+/ where "?" is a shifted "/").
    QAction *sendFeedback() const { return sendFeedback_; }
    // Ctrl+,
    QAction *settings() const { return settings_; }
    // Ctrl+N
    QAction *newWindow() const { return newWindow_; }
    // Ctrl+Q
    QAction *quit() const { return quit_; }
    QList<QAction *> all() const;

    // "File": New Window, Settings…, Quit; "Help": Send Feedback…, Check for Updates….
    void fillMenuBar(QMenuBar *menuBar) const;

private:
    QAction *add(const QString &text, const QList<QKeySequence> &shortcuts,
                 std::function<void()> handler);

    QAction *checkForUpdates_;
    QAction *sendFeedback_;
    QAction *settings_;
    QAction *newWindow_;
    QAction *quit_;
};

} // namespace tandrel
