#include "plugin/TextPainter.h"

#include "core/support/Numeric.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

namespace tandrel {

namespace {

template <typename T, void (*release)(T *)> struct Releaser {
    void operator()(T *object) const { release(object); }
};
void unrefObject(void *object) {
    g_object_unref(object);
}

using Surface = std::unique_ptr<cairo_surface_t, Releaser<cairo_surface_t, cairo_surface_destroy>>;
using Cairo = std::unique_ptr<cairo_t, Releaser<cairo_t, cairo_destroy>>;
using Layout = std::unique_ptr<PangoLayout, Releaser<void, unrefObject>>;
using Font = std::unique_ptr<PangoFontDescription,
                             Releaser<PangoFontDescription, pango_font_description_free>>;

constexpr double toPixels(int pangoUnits) {
    return static_cast<double>(pangoUnits) / PANGO_SCALE;
}

// A colour component for Cairo: 0 to 1, NaN as 0.
double component(double value) {
    return value > 0 ? std::min(value, 1.0) : 0.0;
}

struct PlacedLine {
    PangoLayoutLine *line;
    double width;    // logical width
    double start;    // logical left edge relative to the line's own origin
    double baseline; // from the top of the layout
};

// The lines that fit in the frame, top to bottom, and the frame size they need. Texts wrap at
// the frame's width (between words where possible); a line that would end below its height is
// left out with all lines after it, and one that cannot be broken narrow enough (a character
// wider than the frame) is cut at its right edge.
std::vector<PlacedLine> fittingLines(PangoLayout *layout, double &width, double &height) {
    std::vector<PlacedLine> lines;
    width = 0;
    height = 0;
    PangoLayoutIter *iter = pango_layout_get_iter(layout);
    do {
        PangoRectangle inLayout;
        pango_layout_iter_get_line_extents(iter, nullptr, &inLayout);
        const double bottom = toPixels(inLayout.y) + toPixels(inLayout.height);
        if (bottom > TextPainter::frameLimit) {
            break;
        }
        PangoLayoutLine *line = pango_layout_iter_get_line_readonly(iter);
        PangoRectangle own;
        pango_layout_line_get_extents(line, nullptr, &own);
        lines.push_back({line, toPixels(own.width), toPixels(own.x),
                         toPixels(pango_layout_iter_get_baseline(iter))});
        width = std::max(width, std::min(toPixels(own.width), TextPainter::frameLimit));
        height = bottom;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
    return lines;
}

void addRoundedRectangle(cairo_t *cr, double width, double height, double radius) {
    radius = std::min({radius, width / 2, height / 2});
    cairo_new_path(cr);
    cairo_arc(cr, width - radius, radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, width - radius, height - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, radius, height - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, radius, radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

} // namespace

TextPainter::TextPainter(std::shared_ptr<spdlog::logger> logger)
    : logger_(std::move(logger)), fontMap_(pango_cairo_font_map_new()),
      context_(pango_font_map_create_context(fontMap_)) {
    // Whole-pixel advances keep every character of the monospaced font equally wide.
    cairo_font_options_t *options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
}

TextPainter::~TextPainter() {
    g_object_unref(context_);
    g_object_unref(fontMap_);
}

std::optional<TextBitmap> TextPainter::paint(std::string_view text,
                                             const TextRenderer::DisplayParams &params) {
    return paint(LayoutText(text), params);
}

std::optional<TextBitmap> TextPainter::paint(const LayoutText &text,
                                             const TextRenderer::DisplayParams &params) {
    // No line of a larger font fits the frame; sizes that are not finite numbers draw nothing.
    const std::optional<int64_t> padding = truncateToInt64(params.padding);
    if (!(params.fontSize > 0 && params.fontSize <= frameLimit) || !padding) {
        return std::nullopt;
    }

    Layout layout(pango_layout_new(context_));
    Font font(pango_font_description_new());
    pango_font_description_set_family_static(font.get(), "Monospace");
    pango_font_description_set_weight(font.get(), PANGO_WEIGHT_MEDIUM);
    pango_font_description_set_absolute_size(font.get(), params.fontSize * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font.get());
    pango_layout_set_spacing(layout.get(), 2 * PANGO_SCALE);
    pango_layout_set_width(layout.get(), static_cast<int>(frameLimit) * PANGO_SCALE);
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    const std::string &shown = text.text();
    pango_layout_set_text(layout.get(), shown.data(), static_cast<int>(shown.size()));

    double textWidth = 0;
    double textHeight = 0;
    const std::vector<PlacedLine> lines = fittingLines(layout.get(), textWidth, textHeight);

    // Padding is whole pixels; doubles keep an absurd padding from overflowing.
    const double width = std::ceil(textWidth) + 2.0 * static_cast<double>(*padding);
    const double height = std::ceil(textHeight) + 2.0 * static_cast<double>(*padding);
    if (width < 1 || height < 1) {
        return std::nullopt;
    }
    Surface surface;
    if (width <= maxDimension && height <= maxDimension) {
        surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width),
                                                 static_cast<int>(height)));
    }
    if (!surface || cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        logger_->error("Failed to create CGContext {:.0f}x{:.0f}", width, height);
        return std::nullopt;
    }
    Cairo cr(cairo_create(surface.get()));

    if (params.showBackground) {
        cairo_set_source_rgba(cr.get(), component(params.bgR), component(params.bgG),
                              component(params.bgB), component(params.bgOpacity));
        addRoundedRectangle(cr.get(), width, height, 4);
        cairo_set_fill_rule(cr.get(), CAIRO_FILL_RULE_WINDING);
        cairo_fill(cr.get());
    }

    // The frame's bottom-left corner sits at the padding, so the rounding of the text height
    // goes to the top.
    const double frameLeft = static_cast<double>(*padding);
    const double frameTop = static_cast<double>(*padding) + std::ceil(textHeight) - textHeight;
    const double shift = params.alignment == BurnInTextAlignment::right    ? 1.0
                         : params.alignment == BurnInTextAlignment::center ? 0.5
                                                                           : 0.0;
    cairo_set_source_rgba(cr.get(), component(params.textR), component(params.textG),
                          component(params.textB), component(params.textOpacity));
    for (const PlacedLine &placed : lines) {
        cairo_move_to(cr.get(), frameLeft + (textWidth - placed.width) * shift - placed.start,
                      frameTop + placed.baseline);
        pango_cairo_show_layout_line(cr.get(), placed.line);
    }
    cairo_surface_flush(surface.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        logger_->error("Failed to create CGImage from context");
        return std::nullopt;
    }

    TextBitmap bitmap{static_cast<int>(width), static_cast<int>(height), {}};
    bitmap.rgba.resize(4 * static_cast<std::size_t>(bitmap.width) * bitmap.height);
    const unsigned char *data = cairo_image_surface_get_data(surface.get());
    const auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface.get()));
    std::uint8_t *out = bitmap.rgba.data();
    for (int y = 0; y < bitmap.height; ++y) {
        // Cairo keeps a pixel as one native-endian 32-bit ARGB word, pre-multiplied like ours.
        const unsigned char *row = data + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < bitmap.width; ++x, out += 4) {
            std::uint32_t argb;
            std::memcpy(&argb, row + 4 * static_cast<std::size_t>(x), 4);
            out[0] = static_cast<std::uint8_t>(argb >> 16);
            out[1] = static_cast<std::uint8_t>(argb >> 8);
            out[2] = static_cast<std::uint8_t>(argb);
            out[3] = static_cast<std::uint8_t>(argb >> 24);
        }
    }
    return bitmap;
}

} // namespace tandrel
