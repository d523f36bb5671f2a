#pragma once

#include "host/views/ValidationView.h"

#include <functional>
#include <optional>
#include <string>

class QLabel;

namespace corvane {
class CorvaneButton;
}

namespace tandrel {

class DropZoneStatus;

// The window's drop target: a dashed box with the prompt, the chooser button and, under it,
// the progress of a check or the name of the file loaded last. Takes drags that offer file
// locations and hands each drop to `onDrop`; it does not light up while a drag is over it.
class ValidationView::DropZone : public QWidget {
public:
    struct Config {
        std::optional<std::string> loadedFileName;
        bool isRunning = false;
        std::function<void()> onChoose;
        std::function<void(const QMimeData &)> onDrop;
    };

    explicit DropZone(Config config, QWidget *parent = nullptr);

    void setFields(const std::optional<std::string> &loadedFileName, bool isRunning);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    std::function<void(const QMimeData &)> onDrop_;
    corvane::CorvaneButton *choose_;
    DropZoneStatus *status_;
};

} // namespace tandrel
