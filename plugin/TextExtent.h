#pragma once

#include "core/support/Uuid.h"
#include "plugin/TextRenderer.h"

#include <memory>
#include <optional>
#include <string_view>

namespace platform {
class Device;
}

namespace tandrel {

// How large the effect draws a text: the size of the bitmap its rasteriser makes for it, text
// and padding together, in frame pixels. It asks the rasteriser itself (TextRenderer, on a
// device of its own), so that a caller that places a text by its size, such as the position
// preview, goes through every rule the effect applies on the way: the cut of long texts, the
// wrap at the frame's width, the font and its hinting. Not for the render path: it draws the
// text to learn its size. Safe to call from any thread.
class TextExtent {
public:
    struct Size {
        int width = 0;
        int height = 0;
        friend bool operator==(const Size &, const Size &) = default;
    };

    TextExtent();
    ~TextExtent();
    TextExtent(const TextExtent &) = delete;
    TextExtent &operator=(const TextExtent &) = delete;

    // The padding the effect gives every element's text, on each side.
    static constexpr double elementPadding = 8;

    // The box of an element's `text` at `fontSize` pixels; nothing where the effect draws
    // nothing (an empty text, a size it refuses, a failure).
    std::optional<Size> of(std::string_view text, double fontSize);

private:
    TextRenderer renderer_;
    std::shared_ptr<platform::Device> device_;
    Uuid id_;
};

} // namespace tandrel
