#pragma once

#include "core/model/DisplayConfig.h"

#include <cstddef>
#include <functional>
#include <optional>

namespace tandrel {

class AppState;

// The layout editor's view of the active preset: the first preset of the state object's list
// whose id is the active id. Every edit replaces that preset in a copy of the list and assigns
// the whole list back once, so the state object saves, rewrites the snapshot and publishes
// once per edit (and not at all when nothing changed). Without an active preset, reads give
// a default preset that is never stored and edits are dropped without a word.
class ActivePreset {
public:
    explicit ActivePreset(AppState &state) : state_(state) {}

    // Looked up afresh on every call.
    std::optional<std::size_t> index() const;
    // The active preset, or a new default preset ("Custom", new ids on every call).
    DisplayConfig preset() const;

    // The primary selected element, when the active preset has it (the element editor shows
    // it); a selection left over from another preset names nothing here.
    std::optional<Uuid> selectedElement() const;

    // Replaces the active preset; false when there is none.
    bool set(DisplayConfig preset);
    // Changes the active preset in place; false when there is none (`change` is not called).
    bool update(const std::function<void(DisplayConfig &)> &change);

private:
    AppState &state_;
};

} // namespace tandrel
