// Element editing on the active preset, and the element pasteboard.

#include "host/state/AppState.h"

#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"
#include "core/support/Log.h"

#include <algorithm>

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "elements");
}

} // namespace

bool AppState::updateActivePreset(const std::function<void(DisplayConfig &)> &change) {
    const std::optional<size_t> active = activePresetIndex();
    if (!active) {
        return false;
    }
    std::vector<DisplayConfig> presets = presets_;
    change(presets[*active]);
    setPresets(std::move(presets));
    return true;
}

void AppState::setActivePresetElements(std::vector<BurnInElement> elements) {
    updateActivePreset(
        [&elements](DisplayConfig &active) { active.elements = std::move(elements); });
}

void AppState::replacePrimarySelection(const Uuid &id) {
    if (selectedElementID_ == id) {
        setSelectedElementID(selectedElementIDs_.empty()
                                 ? std::nullopt
                                 : std::optional(*selectedElementIDs_.begin()));
    }
}

void AppState::selectElement(const Uuid &id, bool extend) {
    if (!extend) {
        // A second plain click on the only selected element deselects it.
        if (selectedElementIDs_ == std::set<Uuid>{id}) {
            setSelectedElementIDs({});
            setSelectedElementID(std::nullopt);
        } else {
            setSelectedElementIDs({id});
            setSelectedElementID(id);
        }
        return;
    }
    std::set<Uuid> selection = selectedElementIDs_;
    if (selection.erase(id) > 0) {
        setSelectedElementIDs(std::move(selection));
        replacePrimarySelection(id);
    } else {
        selection.insert(id);
        setSelectedElementIDs(std::move(selection));
        setSelectedElementID(id);
    }
}

void AppState::removeElement(const Uuid &id) {
    const std::optional<size_t> active = activePresetIndex();
    if (!active) {
        return;
    }
    std::vector<BurnInElement> elements = presets_[*active].elements;
    std::erase_if(elements, [&](const BurnInElement &element) { return element.id == id; });
    setActivePresetElements(std::move(elements));
    std::set<Uuid> selection = selectedElementIDs_;
    selection.erase(id);
    setSelectedElementIDs(std::move(selection));
    replacePrimarySelection(id);
}

void AppState::deleteSelectedElements() {
    const std::optional<size_t> active = activePresetIndex();
    if (!active || selectedElementIDs_.empty()) {
        return;
    }
    std::vector<BurnInElement> elements = presets_[*active].elements;
    std::erase_if(elements, [&](const BurnInElement &element) {
        return selectedElementIDs_.contains(element.id);
    });
    setActivePresetElements(std::move(elements));
    setSelectedElementIDs({});
    setSelectedElementID(std::nullopt);
}

void AppState::copyElementToPasteboard(const BurnInElement &element) {
    std::string data;
    try {
        data = encodeJsonText(encodeJsonValue(element));
    } catch (const EncodingError &error) {
        log()->error("Element not copied: {}", error.what());
        return;
    }
    services_.pasteboard->clearContents();
    services_.pasteboard->setData(data, elementPasteboardType);
}

bool AppState::pasteboardHasElement() const {
    return services_.pasteboard->data(elementPasteboardType).has_value();
}

bool AppState::pasteElementFromPasteboard() {
    const std::optional<size_t> active = activePresetIndex();
    if (!active) {
        return false;
    }
    const std::optional<std::string> data = services_.pasteboard->data(elementPasteboardType);
    if (!data) {
        return false;
    }
    BurnInElement element(MetadataField::custom);
    try {
        element = decodeJsonValue<BurnInElement>(parseJsonText(*data));
    } catch (const DecodingError &error) {
        log()->info("Pasteboard holds no element: {}", error.what());
        return false;
    }
    element.id = Uuid::random();
    const Uuid id = element.id;
    std::vector<BurnInElement> elements = presets_[*active].elements;
    elements.push_back(std::move(element));
    setActivePresetElements(std::move(elements));
    setSelectedElementID(id);
    setSelectedElementIDs({id});
    return true;
}

} // namespace tandrel
