// The chips against the plug-in. Both lay out the same custom elements (which draw their
// label on every frame) in a 1920 × 1080 frame: the chips through the preview's classes and
// the Qt measure on a canvas, the plug-in through its overlay geometry and its text measure,
// on the fonts the plug-in's tests pin. The chip is an approximation of the drawn text, so
// only what the two share is compared: the anchor at any scale, the measure at scale 1.
#include "core/support/Log.h"
#include "host/views/preview/ChipFont.h"
#include "host/views/preview/ChipLayout.h"
#include "host/views/preview/PreviewGeometry.h"
#include "plugin/BurnInText.h"
#include "plugin/OverlayGeometry.h"
#include "plugin/TextPainter.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace tandrel {
namespace {

constexpr double frameWidth = 1920;
constexpr double frameHeight = 1080;

// An element's box in frame pixels: its lower-left corner measured from the frame's
// lower-left corner, y up, and its size.
struct Box {
    double left;
    double bottom;
    double width;
    double height;
};

BurnInElement custom(std::string label, double x, double y, double fontSize) {
    BurnInElement element(MetadataField::custom);
    element.label = std::move(label);
    element.posX = x;
    element.posY = y;
    element.fontSize = fontSize;
    return element;
}

// Elements well inside the visible picture of every crop below, so that neither side moves
// them in.
std::vector<BurnInElement> elements() {
    return {
        custom("TC 01:00:00:00", 0.05, 0.05, 24),
        custom("Reel A001", 0.6, 0.1, 18),
        custom("Scene 12 / Take 3", 0.3, 0.5, 36),
        custom("Property of Ostrevale", 0.1, 0.8, 48),
        custom("QC", 0.85, 0.3, 30),
    };
}

class PreviewAgreement : public ::testing::Test {
protected:
    Box plugin(const BurnInElement &element, std::optional<double> crop) {
        const std::optional<std::string> text =
            BurnInText::resolve(element, TandrelMetadata{}, false, std::nullopt);
        EXPECT_TRUE(text);
        TextRenderer::DisplayParams params;
        params.fontSize = element.fontSize;
        params.padding = 8;
        const std::optional<TextBitmap> bitmap = painter.paint(text.value_or(""), params);
        EXPECT_TRUE(bitmap);
        const OverlayGeometry::Rect visible = OverlayGeometry::visiblePicture(
            static_cast<float>(frameWidth), static_cast<float>(frameHeight), crop);
        const OverlayGeometry::Point corner = OverlayGeometry::elementCorner(
            visible, element.posX, element.posY, bitmap->width, bitmap->height, false);
        return {corner.x, corner.y, static_cast<double>(bitmap->width),
                static_cast<double>(bitmap->height)};
    }

    // The chip on a canvas whose frame is `canvasWidth` points wide, in frame pixels.
    Box chip(const BurnInElement &element, std::optional<double> crop, double canvasWidth) {
        const PreviewGeometry geometry(Size{frameWidth, frameHeight});
        const QRectF frame =
            geometry.fittedCanvasRect({canvasWidth, canvasWidth * frameHeight / frameWidth});
        const QRectF visible = geometry.visibleRect(frame, crop);
        const double scale = geometry.scale(frame);
        const std::vector<std::string> lines = ChipLayout::displayLines(element, false);
        const QSizeF size = ChipLayout::chipSize(
            lines, ChipLayout::fontPixelSize(element.fontSize, scale), ChipFont::measure(canvas));
        const QPointF topLeft = ChipLayout::topLeft(visible, element.posX, element.posY, size);
        // Canvas points to frame pixels, whatever the chip's own scale says.
        const double pixels = frameWidth / frame.width();
        return {(topLeft.x() - frame.left()) * pixels,
                (frame.bottom() - (topLeft.y() + size.height())) * pixels, size.width() * pixels,
                size.height() * pixels};
    }

    TextPainter painter{logger("com.ostrevale.tandrel.plugin", "text")};
    QWidget canvas;
};

const std::optional<double> crops[] = {std::nullopt, 2.39, 4.0 / 3.0};

TEST_F(PreviewAgreement, ChipsShowTheTextACustomElementDraws) {
    for (const BurnInElement &element : elements()) {
        EXPECT_EQ(ChipLayout::displayLines(element, false),
                  std::vector<std::string>{
                      *BurnInText::resolve(element, TandrelMetadata{}, false, std::nullopt)});
    }
}

TEST_F(PreviewAgreement, LowerLeftCornersAgreeWithinAPixelAtAnyScale) {
    for (const std::optional<double> crop : crops) {
        for (const double canvasWidth : {1920.0, 1200.0, 800.0, 413.0}) {
            for (const BurnInElement &element : elements()) {
                SCOPED_TRACE(element.label + " on " + std::to_string(canvasWidth) + " crop " +
                             std::to_string(crop.value_or(0)));
                const Box drawn = plugin(element, crop);
                const Box shown = chip(element, crop, canvasWidth);
                EXPECT_NEAR(shown.left, drawn.left, 1);
                EXPECT_NEAR(shown.bottom, drawn.bottom, 1);
            }
        }
    }
}

TEST_F(PreviewAgreement, AtScaleOneBoxesAgreeWithinTwoPixels) {
    // Under a crop too: chips size their text by the frame, as the plug-in does.
    for (const std::optional<double> crop : crops) {
        for (const BurnInElement &element : elements()) {
            SCOPED_TRACE(element.label + " crop " + std::to_string(crop.value_or(0)));
            const Box drawn = plugin(element, crop);
            const Box shown = chip(element, crop, frameWidth);
            // A text narrower than the chip's minimum ("QC") gets the minimum box.
            if (drawn.width < ChipLayout::minimumWidth) {
                EXPECT_EQ(shown.width, ChipLayout::minimumWidth);
            } else {
                EXPECT_NEAR(shown.width, drawn.width, 2);
            }
            ASSERT_GT(drawn.height, ChipLayout::minimumHeight);
            EXPECT_NEAR(shown.height, drawn.height, 2);
        }
    }
}

} // namespace
} // namespace tandrel
