#include "host/views/CanvasCropPicker.h"

#include "host/views/AspectRatioPickerView.h"
#include "host/views/PositionPreviewCanvas.h"

namespace tandrel {

QWidget *makeCanvasCropPicker(PositionPreviewCanvas &canvas) {
    auto *picker = new AspectRatioPickerView(
        [&canvas] { return canvas.cropAspectRatio(); },
        [&canvas](std::optional<double> ratio) { canvas.setCropAspectRatio(ratio); });
    QObject::connect(&canvas, &PositionPreviewCanvas::cropAspectRatioChanged, picker,
                     &AspectRatioPickerView::refresh);
    return picker;
}

} // namespace tandrel
