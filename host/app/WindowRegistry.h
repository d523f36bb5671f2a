#pragma once

#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace tandrel {

// The host's windows: any number of main windows, and tool windows that exist at most once,
// each under its id. Opening a tool window that is open brings it forward; a closed one is
// gone, and the next opening starts it afresh, over the window it was opened from and whole on
// that window's screen (placement). A tool window closes with the desktop's Close
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

    // Where a window opens on a screen whose room for windows is `available`: at `wanted`
    // size (no larger than the room, no smaller than `least`), centred on `over` (the window it
    // was opened from) or on the room, and moved in until it lies in the room whole, its frame
    // (`frame` around its content) included; a window larger than the room starts at the room's
    // top-left corner. The content's rectangle.
    static QRect placement(QSize wanted, QSize least, const QRect &available,
                           const std::optional<QRect> &over, const QMargins &frame);
    // Shows the window of `id` (made when it is not open) and brings it forward; nullptr for an
    // id that names no scene.
    QWidget *open(const QString &id);
    // The open window of `id`, or nullptr.
    QWidget *window(const QString &id) const;

    // A new main window joins, made no larger than its screen; it leaves when it is
    // destroyed.
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
