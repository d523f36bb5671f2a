// The chips against the plug-in. Both lay out the same elements in a 1920 × 1080 frame: the
// chips as a canvas shows them (the canvas of the layout editor pane and the larger one of the
// preview window), the plug-in through its text resolution on the chips' sample frame, its
// text measure and its overlay geometry, down to the quad it draws, on the fonts the plug-in's
// tests pin. Where the two measure apart (Qt and the plug-in's text engine) boxes may differ
// by a pixel or two of the frame; everything else must agree.
#include "core/support/Log.h"
#include "host/views/preview/ChipLayout.h"
#include "host/views/preview/ChipSampleFrame.h"
#include "host/views/preview/tests/PreviewFixture.h"
#include "plugin/BurnInText.h"
#include "plugin/OverlayGeometry.h"
#include "plugin/TextPainter.h"

#include <gtest/gtest.h>

namespace tandrel::testing {
namespace {

constexpr double frameWidth = 1920;
constexpr double frameHeight = 1080;

// The canvas of the layout editor pane at the main window's opening size and the preview
// window's, in points (the canvas's picture is as wide as the window holding it).
constexpr int paneWidth = 523;
constexpr int windowWidth = 1017;

// An element's box in frame pixels: its lower-left corner measured from the frame's
// lower-left corner, y up, and its size.
struct Box {
    double left;
    double bottom;
    double width;
    double height;
    double centreX() const { return left + width / 2; }
};

BurnInElement sized(MetadataField field, std::string label, double x, double y, double fontSize) {
    BurnInElement element(field);
    element.label = std::move(label);
    element.posX = x;
    element.posY = y;
    element.fontSize = fontSize;
    return element;
}

BurnInElement custom(std::string label, double x, double y, double fontSize) {
    return sized(MetadataField::custom, std::move(label), x, y, fontSize);
}

// The source timecode's label and value, as in the built-in "Colorist" preset.
BurnInElement coloristTimecode() {
    return sized(MetadataField::sourceTC, "TC:", 0.05, 0.05, 32);
}

class PreviewAgreement : public PreviewTest {
protected:
    // Where the plug-in draws the element's text, on the chips' sample frame.
    Box plugin(const BurnInElement &element, const DisplayOptions &options = {}) {
        const std::optional<std::string> text =
            BurnInText::resolve(element, ChipSampleFrame::metadata(), false, std::nullopt);
        EXPECT_TRUE(text);
        TextRenderer::DisplayParams params;
        params.fontSize = element.fontSize;
        params.padding = 8;
        const std::optional<TextBitmap> bitmap = painter.paint(text.value_or(""), params);
        EXPECT_TRUE(bitmap);
        if (!bitmap) {
            return {};
        }
        const OverlayGeometry::Rect visible = OverlayGeometry::visiblePicture(
            static_cast<float>(frameWidth), static_cast<float>(frameHeight),
            options.visiblePictureAspectRatio);
        const OverlayGeometry::Point corner = OverlayGeometry::elementCorner(
            visible, element.posX, element.posY, bitmap->width, bitmap->height,
            options.constrainToVisiblePicture.value_or(false));
        // The quad as drawn into a tile whose rows run up: far right, far left, near right,
        // near left, in clip space.
        const auto quad = OverlayGeometry::quad(
            corner, bitmap->width, bitmap->height, static_cast<float>(frameWidth),
            static_cast<float>(frameHeight), platform::FxImageOrigin::bottomLeft);
        return {(quad[3].position[0] + 1) * frameWidth / 2,
                (1 - quad[3].position[1]) * frameHeight / 2, static_cast<double>(bitmap->width),
                static_cast<double>(bitmap->height)};
    }

    // A canvas of the active preset in a window `width` points wide.
    PositionPreviewCanvas &canvasOf(int width) {
        auto *canvas = new PositionPreviewCanvas(
            state(), [this] { return state().activePresetIndex(); },
            [this](const Uuid &id) { state().removeElement(id); }, options());
        show(canvas, {width, width});
        return *canvas;
    }

    // Where the canvas draws the element's chip, in frame pixels.
    static Box chip(const PositionPreviewCanvas &canvas, const Uuid &id) {
        const QRectF frame = canvas.canvasArea()->picture().frame;
        const QRectF box = canvas.chip(id)->boxInCanvas();
        const double pixels = frameWidth / frame.width();
        return {(box.left() - frame.left()) * pixels, (frame.bottom() - box.bottom()) * pixels,
                box.width() * pixels, box.height() * pixels};
    }

    TextPainter painter{logger("com.ostrevale.tandrel.plugin", "text")};
};

TEST_F(PreviewAgreement, ChipsShowTheTextACustomElementDraws) {
    for (const BurnInElement &element :
         {custom("TC 01:00:00:00", 0.05, 0.05, 24), custom("Scene 12 / Take 3", 0.3, 0.5, 36)}) {
        EXPECT_EQ(ChipLayout::displayLines(element, false),
                  std::vector<std::string>{
                      *BurnInText::resolve(element, TandrelMetadata{}, false, std::nullopt)});
    }
}

TEST_F(PreviewAgreement, BoxesAgreeInsideAndAtEachEdgeOfTheFrameInEitherPreview) {
    struct Case {
        const char *name;
        BurnInElement element;
        DisplayOptions options;
    };
    const Case cases[] = {
        {"inside", custom("Scene 12 / Take 3", 0.3, 0.5, 36), {}},
        {"a value the label stands before", coloristTimecode(), {}},
        {"inside a scope crop", custom("QC", 0.85, 0.3, 30), {.visiblePictureAspectRatio = 2.39}},
        // 72-pixel text near the right edge: the plug-in draws it from W − its width.
        {"across the right edge", custom("Property of Ostrevale", 0.9, 0.5, 72), {}},
        {"across the left edge", custom("Reel A001", -0.2, 0.4, 48), {}},
        {"across the top edge", custom("Top", 0.4, 0.98, 60), {}},
        {"across the bottom edge", custom("Bottom", 0.4, -0.15, 60), {}},
        {"wider than the frame",
         custom("Watermark applied by Ostrevale for review only", 0.3, 0.5, 72),
         {}},
        // Kept inside the visible picture of a 2.39 crop, above the letterbox band.
        {"constrained at the crop's top",
         custom("Constrained", 0.5, 0.97, 40),
         {.visiblePictureAspectRatio = 2.39, .constrainToVisiblePicture = true}},
        {"unconstrained in the band",
         custom("Band", 0.5, 1.08, 40),
         {.visiblePictureAspectRatio = 2.39}},
    };
    for (const Case &c : cases) {
        for (const int width : {paneWidth, windowWidth}) {
            SCOPED_TRACE(std::string(c.name) + " on " + std::to_string(width));
            usePreset({c.element}, c.options);
            const PositionPreviewCanvas &canvas = canvasOf(width);
            const Box drawn = plugin(c.element, c.options);
            const Box shown = chip(canvas, idOf(0));
            EXPECT_NEAR(shown.width, drawn.width, 2);
            EXPECT_NEAR(shown.height, drawn.height, 2);
            EXPECT_NEAR(shown.left, drawn.left, 2);
            EXPECT_NEAR(shown.bottom, drawn.bottom, 2);
        }
    }
}

TEST_F(PreviewAgreement, ACentredElementIsCentredInTheRenderAndBothPreviewsCentreItAlike) {
    const BurnInElement timecode = coloristTimecode();
    std::vector<double> centred;
    for (const int width : {paneWidth, windowWidth}) {
        SCOPED_TRACE(width);
        // The centring button.
        usePreset({timecode});
        PositionPreviewCanvas &canvas = canvasOf(width);
        state().selectElement(idOf(0), false);
        canvas.chip(idOf(0))->centreHorizontallyButton()->click();
        EXPECT_NEAR(plugin(stored(0)).centreX(), frameWidth / 2, 1);
        centred.push_back(stored(0).posX);

        // A drag that ends 3 points short of the centre snaps onto it.
        usePreset({timecode});
        PositionPreviewCanvas &dragged = canvasOf(width);
        PreviewChipView &chip = *dragged.chip(idOf(0));
        const double frameCentre = dragged.canvasArea()->picture().frame.center().x();
        drag(chip, {frameCentre - chip.boxInCanvas().center().x() - 3, 0}, 3);
        EXPECT_NEAR(plugin(stored(0)).centreX(), frameWidth / 2, 1);
        EXPECT_DOUBLE_EQ(stored(0).posX, centred.back());
    }
    EXPECT_NEAR(centred[0], centred[1], 1e-9);
}

} // namespace
} // namespace tandrel::testing
