#include "host/views/preview/PreviewCanvasArea.h"

#include "designkit/Color.h"
#include "host/views/preview/PreviewGeometry.h"

#include <QPainter>
#include <QPainterPath>

namespace tandrel {

namespace {

QColor white(double opacity) {
    return QColor::fromRgbF(1, 1, 1, static_cast<float>(opacity));
}

QPen stroke(const QColor &colour, double width) {
    QPen pen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

void strokeLines(QPainter &painter, const std::vector<QLineF> &lines, const QPen &pen) {
    if (lines.empty()) {
        return;
    }
    QPainterPath path;
    for (const QLineF &line : lines) {
        path.moveTo(line.p1());
        path.lineTo(line.p2());
    }
    painter.strokePath(path, pen);
}

} // namespace

PreviewCanvasArea::PreviewCanvasArea(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PreviewCanvasArea::setPicture(Picture picture) {
    picture_ = std::move(picture);
    update();
}

void PreviewCanvasArea::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    emit resized();
}

void PreviewCanvasArea::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(rect());
    QPainterPath rounded;
    rounded.addRoundedRect(area, 6, 6);
    painter.setClipPath(rounded);
    painter.fillRect(area, QColor::fromRgbF(0, 0, 0, 0.9f));

    painter.fillRect(picture_.frame, Qt::black);
    painter.fillRect(picture_.visible, white(0.07));
    if (!PreviewGeometry::identical(picture_.visible, picture_.frame)) {
        painter.setPen(stroke(white(0.3), 0.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(picture_.visible);
    }
    if (picture_.showGrid) {
        const PreviewGeometry::Grid grid =
            PreviewGeometry::gridOverlay(picture_.visible, picture_.gridDivisions);
        strokeLines(painter, grid.vertical, stroke(white(0.18), 0.5));
        strokeLines(painter, grid.horizontal, stroke(white(0.4), 0.75));
        strokeLines(painter, grid.centre, stroke(white(0.55), 0.75));
    }
    const QPen guide = stroke(corvane::Color::corvaneAccent(), 1);
    if (picture_.guideX) {
        painter.setPen(guide);
        painter.drawLine(QLineF(*picture_.guideX, 0, *picture_.guideX, height()));
    }
    if (picture_.guideY) {
        painter.setPen(guide);
        painter.drawLine(QLineF(0, *picture_.guideY, width(), *picture_.guideY));
    }
}

} // namespace tandrel
