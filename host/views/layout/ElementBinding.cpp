#include "host/views/layout/ElementBinding.h"

#include "host/state/AppState.h"
#include "host/views/layout/ActivePreset.h"
#include "host/views/layout/ElementColor.h"

#include <algorithm>

namespace tandrel {

namespace {

const BurnInElement *find(const DisplayConfig &preset, const Uuid &id) {
    const auto found = std::ranges::find(preset.elements, id, &BurnInElement::id);
    return found == preset.elements.end() ? nullptr : &*found;
}

} // namespace

BurnInElement ElementBinding::placeholder() {
    return BurnInElement(MetadataField::clipName);
}

bool ElementBinding::exists() const {
    const std::optional<std::size_t> active = state_.activePresetIndex();
    return active && find(state_.presets()[*active], id_) != nullptr;
}

BurnInElement ElementBinding::get() const {
    // Without an active preset the list shows the default preset's elements; their ids are
    // new on every read, so they never match and read as the placeholder.
    if (const std::optional<std::size_t> active = state_.activePresetIndex()) {
        if (const BurnInElement *element = find(state_.presets()[*active], id_)) {
            return *element;
        }
    }
    return placeholder();
}

bool ElementBinding::set(BurnInElement element) const {
    return update([&element](BurnInElement &stored) {
        element.id = stored.id;
        stored = std::move(element);
    });
}

bool ElementBinding::update(const std::function<void(BurnInElement &)> &change) const {
    if (!exists()) {
        return false;
    }
    return ActivePreset(state_).update([&](DisplayConfig &preset) {
        const auto element = std::ranges::find(preset.elements, id_, &BurnInElement::id);
        change(*element);
    });
}

QColor ElementBinding::color(bool background) const {
    if (!exists()) {
        return QColor::fromRgbF(1, 1, 1);
    }
    const BurnInElement element = get();
    const auto unit = [](double component) {
        return static_cast<float>(std::clamp(component, 0.0, 1.0));
    };
    return background
               ? QColor::fromRgbF(unit(element.bgR), unit(element.bgG), unit(element.bgB))
               : QColor::fromRgbF(unit(element.textR), unit(element.textG), unit(element.textB));
}

bool ElementBinding::setColor(const QColor &colour, bool background) const {
    if (!ElementColor::sRGBComponents(colour) || !exists()) {
        return false;
    }
    return update(
        [&](BurnInElement &element) { ElementColor::apply(element, colour, background); });
}

} // namespace tandrel
