#include "host/app/WindowRegistry.h"

namespace tandrel {

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

} // namespace tandrel
