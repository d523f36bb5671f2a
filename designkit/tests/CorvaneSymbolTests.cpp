#include "designkit/CorvaneChip.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneSymbols.h"

#include "core/support/Log.h"

#include "TestSupport.h"

#include <QImage>
#include <QPainter>

#include <spdlog/sinks/ostream_sink.h>

#include <gtest/gtest.h>

#include <sstream>

using namespace corvane;

namespace {

QImage draw(const QString &name, int weight, int side = 40) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    CorvaneSymbols::paint(painter, QRectF(0, 0, side, side), name, weight, Qt::white);
    return image;
}

int coverage(const QImage &image) {
    int sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += qAlpha(image.pixel(x, y));
        }
    }
    return sum;
}

} // namespace

// Every symbol the host's views name, drawn and inside its square.
TEST(CorvaneSymbols, EverySymbolTheViewsNameIsDrawn) {
    const QStringList named = {"align.horizontal.center.fill",
                               "align.vertical.center.fill",
                               "arrow.clockwise",
                               "arrow.counterclockwise",
                               "arrow.down.doc",
                               "arrow.up.left.and.arrow.down.right",
                               "checkmark.circle",
                               "checkmark.circle.fill",
                               "checkmark.seal",
                               "checkmark.square.fill",
                               "chevron.down",
                               "chevron.right",
                               "clock",
                               "dot.radiowaves.left.and.right",
                               "envelope.badge",
                               "exclamationmark.circle.fill",
                               "exclamationmark.triangle",
                               "exclamationmark.triangle.fill",
                               "film",
                               "film.stack",
                               "folder.fill",
                               "gearshape",
                               "minus",
                               "minus.circle.fill",
                               "paintpalette",
                               "pencil",
                               "plus",
                               "plus.circle.fill",
                               "plus.square.on.square",
                               "sidebar.leading",
                               "slider.horizontal.3",
                               "square",
                               "square.and.arrow.down",
                               "square.and.arrow.up",
                               "text.viewfinder",
                               "textformat",
                               "timeline.selection",
                               "trash",
                               "wand.and.stars",
                               "xmark",
                               "xmark.circle.fill",
                               "xmark.octagon.fill"};
    EXPECT_EQ(CorvaneSymbols::names(), named);
    for (const QString &name : named) {
        SCOPED_TRACE(name.toStdString());
        const QImage image = draw(name, QFont::Normal);
        EXPECT_GT(coverage(image), 255 * 20);
        // Nothing touches the edge of the square: symbols keep a margin like glyphs do.
        for (int i = 0; i < image.width(); ++i) {
            EXPECT_EQ(qAlpha(image.pixel(i, 0)) + qAlpha(image.pixel(0, i)), 0);
        }
    }
}

TEST(CorvaneSymbols, LayeredSymbolsCutOrColourTheirGlyph) {
    // In one colour the glyph is a hole in the disc...
    const QImage mono = draw(QStringLiteral("xmark.circle.fill"), QFont::Normal);
    EXPECT_EQ(qAlpha(mono.pixel(20, 20)), 0);
    EXPECT_EQ(qAlpha(mono.pixel(20, 8)), 255);
    // ... in two, it is drawn over the disc.
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        CorvaneSymbols::paint(painter, QRectF(0, 0, 40, 40), QStringLiteral("xmark.circle.fill"),
                              QFont::Normal, Qt::white, Qt::red);
    }
    EXPECT_EQ(image.pixelColor(20, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(20, 8), QColor(Qt::red));
}

TEST(CorvaneSymbols, HeavierWeightsDrawThickerStrokes) {
    const int light = coverage(draw(QStringLiteral("xmark"), QFont::Light));
    const int regular = coverage(draw(QStringLiteral("xmark"), QFont::Normal));
    const int heavy = coverage(draw(QStringLiteral("xmark"), QFont::Black));
    EXPECT_LT(light, regular);
    EXPECT_LT(regular, heavy);
}

TEST(CorvaneSymbols, TheExpandSymbolReadsAsTwoArrowsAtItsSmallSize) {
    // 11 points, as the views use it, at a place between whole pixels.
    const QString name = QStringLiteral("arrow.up.left.and.arrow.down.right");
    const double side = CorvaneSymbols::side(11);
    QImage image(18, 18, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        CorvaneSymbols::paint(painter, QRectF(2.3, 2.6, side, side), name, QFont::DemiBold,
                              Qt::white);
    }
    int solid = 0;
    QRect drawn;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) == 255) {
                ++solid;
                drawn |= QRect(x, y, 1, 1);
            }
        }
    }
    // Strokes on whole pixels, not smeared over two: each arrow's head is a solid corner.
    EXPECT_GE(solid, 16);
    EXPECT_EQ(qAlpha(image.pixel(drawn.left(), drawn.top())), 255);
    EXPECT_EQ(qAlpha(image.pixel(drawn.right(), drawn.bottom())), 255);
    // The two arrows stay apart: clear between them.
    EXPECT_LT(qAlpha(image.pixel(drawn.center().x(), drawn.center().y())), 64);
    EXPECT_LT(qAlpha(image.pixel(drawn.right(), drawn.top())), 64);
}

TEST(CorvaneSymbols, UnknownNameIsEmptyAndLoggedOnce) {
    std::ostringstream log;
    auto logger = tandrel::logger("com.ostrevale.tandrel", "designkit");
    auto sink = std::make_shared<spdlog::sinks::ostream_sink_mt>(log);
    logger->sinks().push_back(sink);

    CorvaneSymbolView first(QStringLiteral("no.such.symbol"));
    CorvaneSymbolView second(QStringLiteral("no.such.symbol"));
    CorvaneChip chip({.label = QStringLiteral("Roles"), .icon = QStringLiteral("no.such.symbol")});
    CorvaneSymbolView known(QStringLiteral("film"));
    logger->sinks().pop_back();

    EXPECT_EQ(first.property("symbol").toString(), QString());
    EXPECT_EQ(chip.iconView()->property("symbol").toString(), QString());
    EXPECT_EQ(known.property("symbol").toString(), QLatin1String("film"));
    QImage drawn(first.sizeHint(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    first.render(&drawn, {}, {}, QWidget::RenderFlags());
    EXPECT_EQ(coverage(drawn), 0);
    const std::string text = log.str();
    const auto firstAt = text.find("no.such.symbol");
    ASSERT_NE(firstAt, std::string::npos);
    EXPECT_EQ(text.find("no.such.symbol", firstAt + 1), std::string::npos);
}
