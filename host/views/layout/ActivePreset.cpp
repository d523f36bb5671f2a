#include "host/views/layout/ActivePreset.h"

#include "host/state/AppState.h"

namespace tandrel {

std::optional<std::size_t> ActivePreset::index() const {
    return state_.activePresetIndex();
}

DisplayConfig ActivePreset::preset() const {
    if (const std::optional<std::size_t> active = index()) {
        return state_.presets()[*active];
    }
    return DisplayConfig();
}

std::optional<Uuid> ActivePreset::selectedElement() const {
    const std::optional<Uuid> &selected = state_.selectedElementID();
    const std::optional<std::size_t> active = index();
    if (!selected || !active) {
        return std::nullopt;
    }
    for (const BurnInElement &element : state_.presets()[*active].elements) {
        if (element.id == *selected) {
            return selected;
        }
    }
    return std::nullopt;
}

bool ActivePreset::set(DisplayConfig preset) {
    return update([&preset](DisplayConfig &active) { active = std::move(preset); });
}

bool ActivePreset::update(const std::function<void(DisplayConfig &)> &change) {
    return state_.updateActivePreset(change);
}

} // namespace tandrel
