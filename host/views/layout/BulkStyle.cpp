#include "host/views/layout/BulkStyle.h"

#include "host/views/layout/ActivePreset.h"
#include "host/views/layout/ElementColor.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

bool BulkStyle::applyToAllElements(AppState &state, const Mutation &mutation) {
    return ActivePreset(state).update([&mutation](DisplayConfig &preset) {
        for (BurnInElement &element : preset.elements) {
            mutation(element);
        }
    });
}

BulkStyle::Mutation BulkStyle::fontSize(double size) {
    return [size](BurnInElement &element) { element.fontSize = size; };
}

BulkStyle::Mutation BulkStyle::textAlignment(BurnInTextAlignment alignment) {
    return [alignment](BurnInElement &element) { element.textAlignment = alignment; };
}

BulkStyle::Mutation BulkStyle::textColor(const QColor &colour) {
    return [colour](BurnInElement &element) { ElementColor::apply(element, colour, false); };
}

BulkStyle::Mutation BulkStyle::textOpacity(double opacity) {
    return [opacity](BurnInElement &element) { element.textOpacity = opacity; };
}

BulkStyle::Mutation BulkStyle::showBackground(bool show) {
    return [show](BurnInElement &element) { element.showBackground = show; };
}

BulkStyle::Mutation BulkStyle::backgroundColor(const QColor &colour, double opacity) {
    return [colour, opacity](BurnInElement &element) {
        ElementColor::apply(element, colour, true);
        element.bgOpacity = opacity;
    };
}

std::optional<double> BulkStyle::acceptedFontSize(double typed) {
    if (!std::isfinite(typed) || typed <= 0) {
        return std::nullopt;
    }
    return typed;
}

std::optional<double> BulkStyle::acceptedOpacity(double typed) {
    if (!std::isfinite(typed)) {
        return std::nullopt;
    }
    return std::clamp(typed, 0.0, 1.0);
}

} // namespace tandrel
