#pragma once

#include "plugin/TextRenderer.h"

#include <spdlog/logger.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

typedef struct _PangoContext PangoContext;
typedef struct _PangoFontMap PangoFontMap;

namespace tandrel {

// A drawn text: pre-multiplied RGBA, 8 bits a channel, rows top first, width × 4 bytes a row.
struct TextBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Lays texts out with Pango in the monospaced font at medium weight and draws them with Cairo,
// over an optional rounded background. Not thread-safe: its owner serialises the calls.
class TextPainter {
public:
    // Bitmaps larger than this either way are refused: no texture can hold them.
    static constexpr int maxDimension = 16384;
    // Texts wrap at this width and lines below this height are left out.
    static constexpr double frameLimit = 2000;

    explicit TextPainter(std::shared_ptr<spdlog::logger> logger);
    ~TextPainter();
    TextPainter(const TextPainter &) = delete;
    TextPainter &operator=(const TextPainter &) = delete;

    // The text's bitmap: the laid-out text size rounded up, plus the padding (truncated) on every
    // side. Nothing when that is under one pixel or a setting is not a finite number; nothing,
    // with an error logged, when the bitmap cannot be made or drawn. The text is laid out as
    // LayoutText bounds it.
    std::optional<TextBitmap> paint(std::string_view text,
                                    const TextRenderer::DisplayParams &params);
    std::optional<TextBitmap> paint(const LayoutText &text,
                                    const TextRenderer::DisplayParams &params);

private:
    std::shared_ptr<spdlog::logger> logger_;
    PangoFontMap *fontMap_;
    PangoContext *context_;
};

} // namespace tandrel
