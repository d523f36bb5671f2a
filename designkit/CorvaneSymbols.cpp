#include "designkit/CorvaneSymbols.h"

#include "core/support/Log.h"

#include <QCache>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>

#include <cmath>
#include <memory>
#include <optional>

namespace corvane {

namespace {

const QString symbolFolder = QStringLiteral(":/corvane/symbols");

enum class Layer { all, primary, secondary };

// The SVG text of a symbol, loaded once; empty for an unknown name.
const QByteArray &source(const QString &name) {
    static QHash<QString, QByteArray> loaded;
    static QSet<QString> reported;
    auto found = loaded.find(name);
    if (found == loaded.end()) {
        QFile file(symbolFolder + u'/' + name + QStringLiteral(".svg"));
        QByteArray text;
        if (!name.isEmpty() && file.open(QIODevice::ReadOnly)) {
            text = file.readAll();
        } else if (!name.isEmpty() && !reported.contains(name)) {
            reported.insert(name);
            tandrel::logger("com.ostrevale.tandrel", "designkit")
                ->warn("no symbol named '{}'", name.toStdString());
        }
        found = loaded.insert(name, text);
    }
    return *found;
}

// The small form of a symbol and its grid of whole pixels (its view box).
struct SmallForm {
    QByteArray svg;
    QSize grid;
};

// The small form of a symbol, loaded and measured once; empty when it has none (not worth a
// log line).
const SmallForm &smallForm(const QString &name) {
    static QHash<QString, SmallForm> loaded;
    auto found = loaded.find(name);
    if (found == loaded.end()) {
        QFile file(symbolFolder + QStringLiteral("/small/") + name + QStringLiteral(".svg"));
        SmallForm form;
        if (file.open(QIODevice::ReadOnly)) {
            form.svg = file.readAll();
            form.grid = QSvgRenderer(form.svg).viewBox().size();
        }
        found = loaded.insert(name, form);
    }
    return *found;
}

bool hasLayers(const QByteArray &svg) {
    return svg.contains("id=\"primary\"");
}

// The SVG of one layer at one weight: the other layer hidden, every stroke scaled.
QByteArray variant(const QByteArray &svg, Layer layer, int weight) {
    QString text = QString::fromUtf8(svg);
    if (layer == Layer::primary) {
        text.replace(QStringLiteral("id=\"secondary\""),
                     QStringLiteral("id=\"secondary\" display=\"none\""));
    } else if (layer == Layer::secondary) {
        text.replace(QStringLiteral("id=\"primary\""),
                     QStringLiteral("id=\"primary\" display=\"none\""));
    }
    const double scale = CorvaneSymbols::strokeScale(weight);
    static const QRegularExpression strokeWidth(QStringLiteral("stroke-width=\"([0-9.]+)\""));
    QString scaled;
    qsizetype last = 0;
    for (auto it = strokeWidth.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        scaled += QStringView(text).mid(last, match.capturedStart() - last);
        scaled += QStringLiteral("stroke-width=\"%1\"").arg(match.captured(1).toDouble() * scale);
        last = match.capturedEnd();
    }
    scaled += QStringView(text).mid(last);
    return scaled.toUtf8();
}

// One layer in one colour, as an image of the rect's size in device pixels. Long lists draw
// the same few symbols over and over, so the images are kept (about 4 MB of them).
QImage tinted(const QString &name, const QByteArray &svg, Layer layer, int weight,
              const QSize &pixels, const QColor &colour) {
    static QCache<QString, QImage> cache(4 << 20);
    const QString key = QStringLiteral("%1|%2|%3|%4x%5|%6")
                            .arg(name)
                            .arg(static_cast<int>(layer))
                            .arg(weight)
                            .arg(pixels.width())
                            .arg(pixels.height())
                            .arg(colour.rgba64().toArgb32(), 8, 16, QLatin1Char('0'));
    if (const QImage *kept = cache.object(key)) {
        return *kept;
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(variant(svg, layer, weight));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), colour);
    painter.end();
    cache.insert(key, new QImage(image), static_cast<qsizetype>(image.sizeInBytes()));
    return image;
}

// A painter that scales (a magnified view, a zoomed scene) gets images of its own scale, so
// symbols stay sharp there too.
QSize devicePixels(const QPainter &painter, const QRectF &rect) {
    const QTransform transform = painter.deviceTransform();
    const double scale = std::max(std::hypot(transform.m11(), transform.m12()),
                                  std::hypot(transform.m21(), transform.m22()));
    const double ratio =
        std::max(painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0,
                 std::min(scale, 16.0));
    return QSize(std::max(1, static_cast<int>(std::ceil(rect.width() * ratio))),
                 std::max(1, static_cast<int>(std::ceil(rect.height() * ratio))));
}

void drawImage(QPainter &painter, const QRectF &rect, const QImage &image) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect, image);
    painter.restore();
}

// Where the small form of `name` goes, in device pixels: centred in the square on whole
// pixels; none when the symbol has no small form, the square is not about its grid's size, or
// the painter turns or shears.
std::optional<QRect> smallFormPlace(const QPainter &painter, const QRectF &rect,
                                    const SmallForm &small) {
    if (small.svg.isEmpty()) {
        return std::nullopt;
    }
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxScale) {
        return std::nullopt;
    }
    const QSize &grid = small.grid;
    const QRectF device = transform.mapRect(rect);
    const auto near = [](double side, int gridSide) {
        return side >= gridSide - 0.5 && side <= gridSide + 3;
    };
    if (grid.isEmpty() || !near(device.width(), grid.width()) ||
        !near(device.height(), grid.height())) {
        return std::nullopt;
    }
    const QPoint corner(static_cast<int>(std::lround(device.center().x() - grid.width() / 2.0)),
                        static_cast<int>(std::lround(device.center().y() - grid.height() / 2.0)));
    return QRect(corner, grid);
}

// Draws an image pixel for pixel at a place in device pixels.
void drawInDevicePixels(QPainter &painter, const QRect &place, const QImage &image) {
    painter.save();
    painter.setWorldTransform(painter.deviceTransform().inverted() * painter.worldTransform());
    painter.drawImage(place.topLeft(), image);
    painter.restore();
}

} // namespace

bool CorvaneSymbols::contains(const QString &name) {
    return !source(name).isEmpty();
}

QStringList CorvaneSymbols::names() {
    QStringList result;
    for (const QString &file :
         QDir(symbolFolder).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name)) {
        result << file.chopped(4);
    }
    result.sort();
    return result;
}

double CorvaneSymbols::side(double pointSize) {
    return pointSize * 1.2;
}

double CorvaneSymbols::strokeScale(int weight) {
    // Regular (400) draws the strokes as drawn; each step of 100 adds or takes about an eighth.
    const double steps = (std::clamp(weight, 100, 900) - 400) / 100.0;
    return steps >= 0 ? 1.0 + 0.14 * steps : 1.0 + 0.12 * steps;
}

void CorvaneSymbols::paint(QPainter &painter, const QRectF &rect, const QString &name, int weight,
                           const QColor &colour) {
    const QByteArray &svg = source(name);
    if (svg.isEmpty() || rect.isEmpty()) {
        return;
    }
    const SmallForm &small = smallForm(name);
    if (const std::optional<QRect> place = smallFormPlace(painter, rect, small)) {
        drawInDevicePixels(painter, *place,
                           tinted(name + QStringLiteral("@small"), small.svg, Layer::all,
                                  QFont::Normal, place->size(), colour));
        return;
    }
    const QSize pixels = devicePixels(painter, rect);
    if (!hasLayers(svg)) {
        drawImage(painter, rect, tinted(name, svg, Layer::all, weight, pixels, colour));
        return;
    }
    QImage shape = tinted(name, svg, Layer::secondary, weight, pixels, colour);
    {
        QPainter cut(&shape);
        cut.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        cut.drawImage(0, 0, tinted(name, svg, Layer::primary, weight, pixels, Qt::black));
    }
    drawImage(painter, rect, shape);
}

void CorvaneSymbols::paint(QPainter &painter, const QRectF &rect, const QString &name, int weight,
                           const QColor &primary, const QColor &secondary) {
    const QByteArray &svg = source(name);
    if (svg.isEmpty() || rect.isEmpty()) {
        return;
    }
    if (!hasLayers(svg)) {
        CorvaneSymbols::paint(painter, rect, name, weight, primary);
        return;
    }
    const QSize pixels = devicePixels(painter, rect);
    drawImage(painter, rect, tinted(name, svg, Layer::secondary, weight, pixels, secondary));
    drawImage(painter, rect, tinted(name, svg, Layer::primary, weight, pixels, primary));
}

} // namespace corvane
