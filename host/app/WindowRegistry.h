#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

namespace tandrel {

// The host's windows: any number of main windows, and tool windows that exist at most once,
// each under its id. Opening a tool window that is open brings it forward; a closed one is
// gone, and the next opening starts it afresh. A tool window closes with the desktop's Close
// keys (Ctrl+W) and with Esc, as the desktop's own windows do.
class WindowRegistry : public QObject {
    Q_OBJECT

public:
    // A single-instance window: its title, its size when it first opens, and its content.
    struct Scene {
        QString title;
        QSize defaultSize;
        std::function<QWidget *()> content;
    };

    using QObject::QObject;
    ~WindowRegistry() override;

    void declare(const QString &id, Scene scene);
    // Shows the window of `id` (made when it is not open) and brings it forward; nullptr for an
    // id that names no scene.
    QWidget *open(const QString &id);
    // The open window of `id`, or nullptr.
    QWidget *window(const QString &id) const;

    // A new main window joins; it leaves when it is destroyed.
    void addMainWindow(QWidget *window);
    std::vector<QWidget *> mainWindows() const;

    // Every window the registry knows, main windows first.
    std::vector<QWidget *> allWindows() const;

signals:
    // A window was made: the host gives it its commands.
    void windowCreated(QWidget *window);

private:
    std::map<QString, Scene> scenes_;
    std::map<QString, QPointer<QWidget>> open_;
    std::vector<QPointer<QWidget>> mainWindows_;
};

// Brings a shown window to the front and gives it the keyboard.
void bringForward(QWidget *window);

// Lets `window` be closed from the keyboard: the desktop's Close keys (Ctrl+W) anywhere in
// it, and Esc when nothing in the window takes that key for itself (an open list, a field
// that undoes its edit with it).
void closeWithKeys(QWidget *window);

} // namespace tandrel
