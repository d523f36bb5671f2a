#include "host/views/main/TemplateGlyphView.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

namespace tandrel {

namespace {

QString resourcePath(const QString &name) {
    return QStringLiteral(":/host/glyphs/") + name + QStringLiteral(".svg");
}

} // namespace

TemplateGlyphView::TemplateGlyphView(const QString &name, const QColor &tint, double side,
                                     double boxWidth, QWidget *parent)
    : QWidget(parent), name_(name), tint_(tint), side_(side), boxWidth_(boxWidth) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

bool TemplateGlyphView::exists(const QString &name) {
    return QFile::exists(resourcePath(name));
}

QSize TemplateGlyphView::sizeHint() const {
    return {static_cast<int>(std::ceil(boxWidth_)), static_cast<int>(std::ceil(side_))};
}

void TemplateGlyphView::paintEvent(QPaintEvent *) {
    QSvgRenderer renderer(resourcePath(name_));
    if (!renderer.isValid()) {
        return;
    }
    // Drawn at the device's scale, then every painted pixel takes the tint.
    const double scale = devicePixelRatioF();
    const int pixels = static_cast<int>(std::ceil(side_ * scale));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter glyph(&image);
        renderer.render(&glyph, QRectF(0, 0, pixels, pixels));
        glyph.setCompositionMode(QPainter::CompositionMode_SourceIn);
        glyph.fillRect(image.rect(), tint_);
    }
    image.setDevicePixelRatio(scale);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF((width() - side_) / 2, (height() - side_) / 2, side_, side_), image);
}

} // namespace tandrel
