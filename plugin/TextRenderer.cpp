#include "plugin/TextRenderer.h"

#include "core/support/Log.h"
#include "plugin/TextPainter.h"

#include <charconv>
#include <cmath>

namespace tandrel {

namespace {

// The shortest decimal that reads back as the same double, always with a fractional part:
// "24.0", "0.7", "-0.0". Values that are not finite read "inf", "-inf" or "nan".
void appendNumber(std::string &key, double value) {
    char digits[400]; // the longest fixed form of a double is 327 characters
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed);
    const std::string_view text(digits, static_cast<std::size_t>(result.ptr - digits));
    key += text;
    if (std::isfinite(value) && text.find('.') == std::string_view::npos) {
        key += ".0";
    }
}

} // namespace

TextRenderer::TextRenderer() : logger_(logger("com.ostrevale.tandrel.plugin", "text")) {}

TextRenderer::~TextRenderer() = default;

const Uuid &TextRenderer::statusElementID() {
    static const Uuid id = Uuid::random();
    return id;
}

std::string TextRenderer::cacheKey(std::uint64_t registryID, std::string_view text,
                                   const DisplayParams &params) {
    std::string key = std::to_string(registryID);
    key += '|';
    key += text;
    key += '|';
    appendNumber(key, params.fontSize);
    key += '|';
    for (double value : {params.textR, params.textG, params.textB}) {
        appendNumber(key, value);
        key += ',';
    }
    appendNumber(key, params.textOpacity);
    key += params.showBackground ? "|1|" : "|0|";
    for (double value : {params.bgR, params.bgG, params.bgB}) {
        appendNumber(key, value);
        key += ',';
    }
    appendNumber(key, params.bgOpacity);
    key += '|';
    key += params.alignment.rawValue();
    return key;
}

std::optional<TextRenderer::RenderedText> TextRenderer::render(std::string_view text,
                                                               const Uuid &elementID,
                                                               const DisplayParams &params,
                                                               platform::Device &device) {
    if (text.empty()) {
        return std::nullopt;
    }
    const LayoutText shown(text);

    std::lock_guard guard(lock_);
    std::string key = cacheKey(device.registryID(), shown.text(), params);
    if (const auto cached = cache_.find(elementID);
        cached != cache_.end() && cached->second.key == key) {
        return RenderedText{cached->second.texture, cached->second.width, cached->second.height};
    }

    if (!painter_) {
        painter_ = std::make_unique<TextPainter>(logger_);
    }
    const std::optional<TextBitmap> bitmap = painter_->paint(shown, params);
    if (!bitmap) {
        return std::nullopt;
    }
    auto texture = device.newTexture(platform::TextureDescriptor::texture2D(
        platform::PixelFormat::rgba8Unorm, bitmap->width, bitmap->height, false));
    if (!texture ||
        !texture->replaceRegion(platform::Region::make2D(0, 0, bitmap->width, bitmap->height), 0,
                                bitmap->rgba.data(), 4 * static_cast<std::size_t>(bitmap->width))) {
        logger_->error("Failed to create MTLTexture from CGImage");
        return std::nullopt;
    }
    cache_[elementID] = CacheEntry{std::move(key), texture, bitmap->width, bitmap->height};
    return RenderedText{std::move(texture), bitmap->width, bitmap->height};
}

} // namespace tandrel
