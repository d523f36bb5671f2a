#pragma once

#include "core/model/BurnInTextAlignment.h"
#include "core/support/Uuid.h"
#include "platform/gpu/Device.h"
#include "platform/gpu/Texture.h"
#include "plugin/LayoutText.h"

#include <spdlog/logger.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

class TextPainter;

// Turns burn-in texts into GPU textures and keeps the last texture of each element, so that a
// text that does not change from one frame to the next is drawn once. One renderer serves an
// effect instance: all its elements and its status text. Safe to call from many threads; calls
// with text are serialised.
class TextRenderer {
public:
    // How one text is drawn. The overlay fills it from the element with padding 8; the status
    // text has its own values.
    struct DisplayParams {
        double fontSize = 24;
        double textR = 1;
        double textG = 1;
        double textB = 1;
        double textOpacity = 1;
        bool showBackground = false;
        double bgR = 0;
        double bgG = 0;
        double bgB = 0;
        double bgOpacity = 0;
        double padding = 8;
        BurnInTextAlignment alignment = BurnInTextAlignment::left;
    };

    struct CacheEntry {
        std::string key;
        std::shared_ptr<platform::Texture> texture;
        int width;
        int height;
    };

    // A texture of exactly the text's size plus padding (RGBA8, pre-multiplied, shader-readable,
    // first row the top of the text), shared: callers only read it.
    struct RenderedText {
        std::shared_ptr<platform::Texture> texture;
        int width;
        int height;
    };

    // Longer texts are cut to this many user-perceived characters and "…" (LayoutText tells
    // how else a text is bounded before it is drawn).
    static constexpr std::size_t maxCharacters = LayoutText::maxCharacters;

    TextRenderer();
    ~TextRenderer();
    TextRenderer(const TextRenderer &) = delete;
    TextRenderer &operator=(const TextRenderer &) = delete;

    // The element identifier the status text is cached under: a random UUID made once per
    // process.
    static const Uuid &statusElementID();

    // Identifies a texture: the device, the text as laid out and every setting but the padding.
    static std::string cacheKey(std::uint64_t registryID, std::string_view text,
                                const DisplayParams &params);

    // The element's texture for this text, from the cache when text, settings and device are
    // those of its last texture. Nothing (and nothing drawn) for an empty text, a text that
    // lays out smaller than one pixel, or a failure, which is logged; the element's cached
    // texture then stays as it was.
    std::optional<RenderedText> render(std::string_view text, const Uuid &elementID,
                                       const DisplayParams &params, platform::Device &device);

private:
    std::shared_ptr<spdlog::logger> logger_;
    std::mutex lock_;
    std::map<Uuid, CacheEntry> cache_;
    std::unique_ptr<TextPainter> painter_; // made on first use, under the lock
};

} // namespace tandrel
