#include "plugin/TextExtent.h"

#include "platform/gpu/Device.h"

namespace tandrel {

TextExtent::TextExtent()
    : device_(platform::Device::make({.registryID = 0, .name = "text extent"})),
      id_(Uuid::random()) {}

TextExtent::~TextExtent() = default;

std::optional<TextExtent::Size> TextExtent::of(std::string_view text, double fontSize) {
    // Colours and alignment change no size; one set of them lets the rasteriser answer again
    // from its cache while the text and its size stay the same. (The padding is not part of
    // its cache key: it is always the element's.)
    TextRenderer::DisplayParams params;
    params.fontSize = fontSize;
    params.padding = elementPadding;
    const std::optional<TextRenderer::RenderedText> drawn =
        renderer_.render(text, id_, params, *device_);
    if (!drawn) {
        return std::nullopt;
    }
    return Size{drawn->width, drawn->height};
}

} // namespace tandrel
