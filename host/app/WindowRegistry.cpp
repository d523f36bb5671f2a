#include "host/app/WindowRegistry.h"

#include <QAction>
#include <QKeyEvent>

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

} // namespace

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
        window = scene->second.content();
        window->setWindowTitle(scene->second.title);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->resize(scene->second.defaultSize);
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
