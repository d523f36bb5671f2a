// The chips against the plug-in. Both lay out the same elements in a 1920 × 1080 frame: the
// chips as a canvas shows them (the canvas of the layout editor pane and the larger one of the
// preview window), the plug-in through its text resolution on the chips' sample frame, its
// rasteriser and its overlay geometry, down to the quad it draws. The box a chip stands on
// must be the box the plug-in draws, and the chip's left and bottom edges its edges.
//
// The program is built twice: once on the fonts the plug-in's tests pin, once on the machine's
// own font configuration (on a stock desktop, slight hinting), where a measure of the preview's
// own would drift from the plug-in's by a part of a pixel per character.
#include "host/views/preview/ChipLayout.h"
#include "host/views/preview/ChipSampleFrame.h"
#include "host/views/preview/tests/PreviewFixture.h"
#include "platform/gpu/Device.h"
#include "plugin/BurnInText.h"
#include "plugin/OverlayGeometry.h"
#include "plugin/OverlayRenderer.h"
#include "plugin/TextPainter.h"
#include "plugin/TextRenderer.h"

#include <gtest/gtest.h>

#ifdef TANDREL_TEST_FONTS_CONF
#define PREVIEW_AGREEMENT PreviewAgreementOnPinnedFonts
#else
#define PREVIEW_AGREEMENT PreviewAgreementOnTheMachinesFonts
#endif

namespace tandrel::testing {
namespace {

constexpr double frameWidth = 1920;
constexpr double frameHeight = 1080;

// The canvas of the layout editor pane at the main window's opening size and the preview
// window's, in points (the canvas's picture is as wide as the window holding it).
constexpr int paneWidth = 523;
constexpr int windowWidth = 1017;

// A box in frame pixels: its lower-left corner measured from the frame's lower-left corner,
// y up, and its size.
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

// A label of `count` characters in words, as a user types one.
std::string words(std::size_t count) {
    std::string text;
    while (text.size() < count) {
        text += text.empty() ? "Watermark" : " for review";
    }
    return text.substr(0, count);
}

class PREVIEW_AGREEMENT : public PreviewTest {
protected:
    // Where the plug-in draws the element's text, on the chips' sample frame.
    Box plugin(const BurnInElement &element, const DisplayOptions &options = {}) {
        const std::optional<std::string> text =
            BurnInText::resolve(element, ChipSampleFrame::metadata(), false, std::nullopt);
        EXPECT_TRUE(text);
        const std::optional<TextRenderer::RenderedText> drawn = renderer.render(
            text.value_or(""), element.id, OverlayRenderer::elementParams(element), *device);
        EXPECT_TRUE(drawn);
        if (!drawn) {
            return {};
        }
        const OverlayGeometry::Rect visible = OverlayGeometry::visiblePicture(
            static_cast<float>(frameWidth), static_cast<float>(frameHeight),
            options.visiblePictureAspectRatio);
        const OverlayGeometry::Point corner = OverlayGeometry::elementCorner(
            visible, element.posX, element.posY, drawn->width, drawn->height,
            options.constrainToVisiblePicture.value_or(false));
        // The quad as drawn into a tile whose rows run up: far right, far left, near right,
        // near left, in clip space.
        const auto quad = OverlayGeometry::quad(
            corner, drawn->width, drawn->height, static_cast<float>(frameWidth),
            static_cast<float>(frameHeight), platform::FxImageOrigin::bottomLeft);
        return {(quad[3].position[0] + 1) * frameWidth / 2,
                (1 - quad[3].position[1]) * frameHeight / 2, static_cast<double>(drawn->width),
                static_cast<double>(drawn->height)};
    }

    // A canvas of the active preset in a window `width` points wide.
    PositionPreviewCanvas &canvasOf(int width) {
        auto *canvas = new PositionPreviewCanvas(
            state(), [this] { return state().activePresetIndex(); },
            [this](const Uuid &id) { state().removeElement(id); }, options());
        show(canvas, {width, width});
        return *canvas;
    }

    // A rectangle of the canvas in frame pixels.
    static Box inFrame(const PositionPreviewCanvas &canvas, const QRectF &box) {
        const QRectF frame = canvas.canvasArea()->picture().frame;
        const double pixels = frameWidth / frame.width();
        return {(box.left() - frame.left()) * pixels, (frame.bottom() - box.bottom()) * pixels,
                box.width() * pixels, box.height() * pixels};
    }

    // Where the canvas puts the box the element's chip stands on, in frame pixels.
    static Box shown(const PositionPreviewCanvas &canvas, const Uuid &id) {
        return inFrame(canvas, canvas.chip(id)->boxInCanvas());
    }

    std::shared_ptr<platform::Device> device = platform::Device::make({7, "agreement"});
    TextRenderer renderer;
};

TEST_F(PREVIEW_AGREEMENT, BoxesAgreeInsideAtEachEdgeAndCornerAndOverWideInEitherPreview) {
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
        {"in the top right corner", custom("Corner 01:00:00:00", 0.97, 0.99, 44), {}},
        {"in the bottom left corner", custom("Corner", -0.1, -0.1, 44), {}},
        {"wider than the frame on one line",
         custom("Watermark applied by Ostrevale for review only", 0.3, 0.5, 72),
         {}},
        // Wrapped by the plug-in at its frame limit into two lines.
        {"98 characters at 36", custom(words(98), 0.1, 0.5, 36), {}},
        // Cut after 300 characters with "…", then wrapped.
        {"320 characters at 24", custom(words(320), 0.05, 0.9, 24), {}},
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
            const Box box = shown(canvas, idOf(0));
            EXPECT_NEAR(box.width, drawn.width, 1);
            EXPECT_NEAR(box.height, drawn.height, 1);
            EXPECT_NEAR(box.left, drawn.left, 1);
            EXPECT_NEAR(box.bottom, drawn.bottom, 1);
            // The chip, drawn to be read, stands on that box's left and bottom edges, or as
            // near them as the canvas lets it be seen whole.
            const QRectF chip = canvas.chip(idOf(0))->chipInCanvas();
            const QRectF on = canvas.chip(idOf(0))->boxInCanvas();
            const QRectF area(canvas.canvasArea()->rect());
            EXPECT_TRUE(chip.left() == on.left() || chip.right() == area.right());
            EXPECT_TRUE(chip.bottom() == on.bottom() || chip.top() == area.top());
            EXPECT_TRUE(area.contains(chip));
        }
    }
}

TEST_F(PREVIEW_AGREEMENT, AnOverWideTextWrapsAsThePluginWrapsIt) {
    // 98 characters at 36 are wider than the plug-in's frame limit on one line: two lines, 2
    // pixels apart, none wider than the limit.
    const Box line = plugin(custom("x", 0, 0, 36));
    usePreset({custom(words(98), 0.1, 0.5, 36)});
    const Box box = shown(canvasOf(paneWidth), idOf(0));
    EXPECT_LE(box.width, TextPainter::frameLimit + 16);
    EXPECT_NEAR(box.height - 16, 2 * (line.height - 16) + 2, 1);
}

TEST_F(PREVIEW_AGREEMENT, ACentredElementIsCentredInTheRenderAndBothPreviewsCentreItAlike) {
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
