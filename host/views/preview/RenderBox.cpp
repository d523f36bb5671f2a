#include "host/views/preview/RenderBox.h"

#include "host/views/preview/ChipLayout.h"
#include "host/views/preview/ChipSampleFrame.h"
#include "plugin/TextExtent.h"

#include <cmath>
#include <map>
#include <memory>
#include <utility>

namespace tandrel {

std::string RenderBox::text(const BurnInElement &element, bool showStackedLayers) {
    std::vector<std::string> lines = ChipLayout::displayLines(element, showStackedLayers);
    if (!ChipLayout::isBlockField(element.field)) {
        // The value the effect draws beside the label, as wide as on a real frame.
        if (std::optional<std::string> sample = ChipSampleFrame::text(element);
            sample && !sample->empty()) {
            lines.front() = std::move(*sample);
        }
    }
    std::string joined = lines.front();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        joined += '\n';
        joined += lines[i];
    }
    return joined;
}

QSizeF RenderBox::size(std::string_view text, double fontSize, double scale,
                       const Measure &measure) {
    if (!(scale > 0) || !std::isfinite(scale)) {
        return {};
    }
    const std::optional<QSizeF> pixels = measure(text, fontSize);
    if (!pixels) {
        return {};
    }
    return *pixels * scale;
}

RenderBox::Measure RenderBox::effectMeasure() {
    struct Memory {
        TextExtent extent;
        std::map<std::pair<std::string, double>, std::optional<QSizeF>> answers;
    };
    // One rasteriser for every canvas: it loads its fonts once.
    static const std::shared_ptr<Memory> memory = std::make_shared<Memory>();
    return [held = memory](std::string_view text, double fontSize) {
        // Texts change as the user types: a bounded memory, started again when full.
        constexpr std::size_t most = 512;
        std::pair<std::string, double> key(text, fontSize);
        if (const auto known = held->answers.find(key); known != held->answers.end()) {
            return known->second;
        }
        std::optional<QSizeF> answer;
        if (const std::optional<TextExtent::Size> box = held->extent.of(text, fontSize)) {
            answer = QSizeF(box->width, box->height);
        }
        if (held->answers.size() >= most) {
            held->answers.clear();
        }
        held->answers.emplace(std::move(key), answer);
        return answer;
    };
}

} // namespace tandrel
