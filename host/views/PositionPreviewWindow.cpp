#include "host/views/PositionPreviewWindow.h"

#include "host/views/PlaceholderView.h"

#include <QVBoxLayout>

namespace tandrel {

PositionPreviewWindow::PositionPreviewWindow(AppState &, QWidget *parent) : QWidget(parent) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new PlaceholderView(
        QStringLiteral("square"), QStringLiteral("Position Preview"),
        QStringLiteral("The active preset's elements on a canvas of the timeline's aspect, free to move about.")));
}

} // namespace tandrel
