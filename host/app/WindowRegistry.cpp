#include "host/app/WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QKeyEvent>

#include <algorithm>

namespace tandrel {

namespace {

// Esc that reaches the window itself: no widget in it used the key on its way up.
class EscapeCloses : public QObject {
public:
    explicit EscapeCloses(QWidget *window) : QObject(window), window_(window) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == window_ && event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
                window_->close();
                return true;
            }
        }
        return false;
    }

private:
    QWidget *window_;
};

// Before a window is first shown its frame is not known: room for a title bar above its
// content, unless it draws its own.
QMargins expectedFrame(const QWidget *window) {
    if (window->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        return {};
    }
    return {0, 32, 0, 0};
}

} // namespace

QRect WindowRegistry::placement(QSize wanted, QSize least, const QRect &available,
                                const std::optional<QRect> &over, const QMargins &frame) {
    const QSize room = available.marginsRemoved(frame).size();
    const QSize size = wanted.boundedTo(room).expandedTo(least);
    const QPoint centre = over ? over->center() : available.center();
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(centre);
    QRect framed = placed.marginsAdded(frame);
    // In from the right and the bottom, then from the left and the top, which win: a window
    // larger than the room starts at its top-left corner.
    framed.moveRight(std::min(framed.right(), available.right()));
    framed.moveBottom(std::min(framed.bottom(), available.bottom()));
    framed.moveLeft(std::max(framed.left(), available.left()));
    framed.moveTop(std::max(framed.top(), available.top()));
    return framed.marginsRemoved(frame);
}

WindowRegistry::~WindowRegistry() {
    for (QWidget *window : allWindows()) {
        delete window;
    }
}

void WindowRegistry::declare(const QString &id, Scene scene) {
    scenes_[id] = std::move(scene);
}

QWidget *WindowRegistry::open(const QString &id) {
    const auto scene = scenes_.find(id);
    if (scene == scenes_.end()) {
        return nullptr;
    }
    QPointer<QWidget> &window = open_[id];
    if (window == nullptr) {
        // Over the window it is opened from, on that one's screen.
        const QWidget *opener = QApplication::activeWindow();
        window = scene->second.content();
        window->setWindowTitle(scene->second.title);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QScreen *screen = opener != nullptr ? opener->screen() : QGuiApplication::primaryScreen();
        if (screen != nullptr) {
            const QRect placed = placement(
                scene->second.defaultSize, window->minimumSizeHint().expandedTo(window->minimumSize()),
                screen->availableGeometry(),
                opener != nullptr ? std::optional(opener->frameGeometry()) : std::nullopt,
                expectedFrame(window));
            window->resize(placed.size());
            window->move(placed.topLeft() - QPoint(0, expectedFrame(window).top()));
        } else {
            window->resize(scene->second.defaultSize);
        }
        closeWithKeys(window);
        emit windowCreated(window);
    }
    bringForward(window);
    return window;
}

QWidget *WindowRegistry::window(const QString &id) const {
    const auto open = open_.find(id);
    return open == open_.end() ? nullptr : open->second.data();
}

void WindowRegistry::addMainWindow(QWidget *window) {
    // No larger than its screen; where it opens is the desktop's to choose.
    const QWidget *opener = QApplication::activeWindow();
    if (QScreen *screen = opener != nullptr ? opener->screen() : QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().marginsRemoved(expectedFrame(window)).size();
        window->resize(window->size().boundedTo(room).expandedTo(window->minimumSize()));
    }
    std::erase_if(mainWindows_, [](const QPointer<QWidget> &gone) { return gone == nullptr; });
    mainWindows_.emplace_back(window);
    emit windowCreated(window);
}

std::vector<QWidget *> WindowRegistry::mainWindows() const {
    std::vector<QWidget *> windows;
    for (const QPointer<QWidget> &window : mainWindows_) {
        if (window != nullptr) {
            windows.push_back(window);
        }
    }
    return windows;
}

std::vector<QWidget *> WindowRegistry::allWindows() const {
    std::vector<QWidget *> windows = mainWindows();
    for (const auto &[id, window] : open_) {
        if (window != nullptr) {
            windows.push_back(window);
        }
    }
    return windows;
}

void bringForward(QWidget *window) {
    if (window->isMinimized()) {
        window->showNormal();
    } else {
        window->show();
    }
    window->raise();
    window->activateWindow();
}

void closeWithKeys(QWidget *window) {
    auto *close = new QAction(QStringLiteral("Close"), window);
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Close);
    const QKeySequence ctrlW(QStringLiteral("Ctrl+W"));
    if (!keys.contains(ctrlW)) {
        keys.prepend(ctrlW);
    }
    close->setShortcuts(keys);
    close->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(close, &QAction::triggered, window, &QWidget::close);
    window->addAction(close);
    new EscapeCloses(window);
}

} // namespace tandrel
