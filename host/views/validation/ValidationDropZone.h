#pragma once

#include "host/views/validation/DropZoneStatus.h"

#include <QColor>
#include <QMargins>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

class QMimeData;

namespace corvane {
class CorvaneButton;
}

namespace tandrel {

// The drop target of the validation views: a dashed box with the prompt, the chooser button
// and, under it, the progress of a check or the name of the file loaded last. With `onDrop`
// it takes drags that offer file locations and hands each drop on; without, drops are left
// to the widget around it. It does not light up while a drag is over it. The window and the
// editor's tile draw it at two sizes (`Look`).
class ValidationDropZone : public QWidget {
public:
    struct Look {
        int symbolSide;
        QColor symbolColour;
        DropZoneStatus::Look prompt;
        bool prominentButton;
        QMargins margins;
        int spacing;
        double cornerRadius;
        QColor outline;
        double dash;
        DropZoneStatus::Look progress;
        DropZoneStatus::Look fileName;
    };
    // The window's: caption text, the prominent button, roomy.
    static Look windowLook();
    // The tile's: micro text, a plain button, compact.
    static Look tileLook();

    struct Config {
        QString prompt;
        std::function<void()> onChoose;
        std::function<void(const QMimeData &)> onDrop;
    };

    ValidationDropZone(const Look &look, Config config, QWidget *parent = nullptr);

    void setFields(const std::optional<std::string> &loadedFileName, bool isRunning);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    double cornerRadius_;
    QColor outline_;
    double dash_;
    std::function<void(const QMimeData &)> onDrop_;
    corvane::CorvaneButton *choose_;
    DropZoneStatus *status_;
};

} // namespace tandrel
