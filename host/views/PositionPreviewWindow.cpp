#include "host/views/PositionPreviewWindow.h"

namespace tandrel {

PositionPreviewWindow::PositionPreviewWindow(AppState &, QWidget *parent)
    : PlaceholderView(QStringLiteral("square"), QStringLiteral("Position Preview"),
                      QStringLiteral("The active preset's elements on a canvas of the timeline's "
                                     "aspect, free to move about."),
                      parent) {}

} // namespace tandrel
