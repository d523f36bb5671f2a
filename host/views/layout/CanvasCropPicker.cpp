#include "host/views/layout/CanvasCropPicker.h"

#include "host/views/layout/AspectRatioPickerView.h"
#include "host/views/preview/PositionPreviewCanvas.h"

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
