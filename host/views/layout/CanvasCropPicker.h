#pragma once

class QWidget;

namespace tandrel {

class PositionPreviewCanvas;

// The crop picker of a position preview's controls row: the aspect-ratio picker bound to the
// canvas's crop ratio, shown again whenever that ratio changes. The canvas owns it.
QWidget *makeCanvasCropPicker(PositionPreviewCanvas &canvas);

} // namespace tandrel
