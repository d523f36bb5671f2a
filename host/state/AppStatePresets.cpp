// Presets: the stored list merged with the built-in presets, the active one, and preset files.

#include "host/state/AppState.h"

#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"
#include "core/support/Log.h"

#include <nlohmann/json.hpp>

#include <set>
#include <utility>

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "presets");
}

} // namespace

std::vector<DisplayConfig> AppState::factoryPresets() const {
    return BundledPresets::factoryPresets(services_.bundledPresetsFolder);
}

void AppState::loadPresets() {
    std::vector<DisplayConfig> presets;
    const QVariant stored = services_.userDefaults->value(presetsKey);
    if (stored.isValid()) {
        try {
            presets = decodeJsonValue<std::vector<DisplayConfig>>(
                parseJsonText(stored.toByteArray().toStdString()));
        } catch (const DecodingError &error) {
            // The merged list below replaces them when it is stored: a single element this host
            // cannot read (one of a newer host, say) would take every user preset with it.
            services_.userDefaults->setValue(unreadablePresetsKey, stored);
            log()->error("Stored presets unreadable ({}); kept under {} and replaced by the "
                         "built-in presets",
                         error.what(), unreadablePresetsKey);
        }
    }
    // Built-in presets the user deleted come back; those of a name the user has are not added.
    std::set<std::string> names;
    for (const DisplayConfig &preset : presets) {
        names.insert(preset.name);
    }
    for (DisplayConfig &preset : factoryPresets()) {
        if (!names.contains(preset.name)) {
            presets.push_back(std::move(preset));
        }
    }
    setPresets(std::move(presets));

    const std::optional<QString> storedActive = services_.userDefaults->string(activePresetIDKey);
    const std::optional<Uuid> active =
        storedActive ? Uuid::fromString(storedActive->toStdString()) : std::nullopt;
    for (const DisplayConfig &preset : presets_) {
        if (active && preset.id == *active) {
            setActivePresetID(*active);
            return;
        }
    }
    setActivePresetID(presets_.empty() ? Uuid::random() : presets_.front().id);
}

void AppState::savePresets(bool list, bool activeID) {
    std::vector<std::pair<QString, QVariant>> values;
    if (list) {
        try {
            const std::string data = encodeJsonText(encodeJsonValue(presets_));
            values.emplace_back(presetsKey, QByteArray::fromStdString(data));
        } catch (const EncodingError &error) {
            log()->error("Presets not stored: {}", error.what());
        }
    }
    if (activeID) {
        values.emplace_back(activePresetIDKey,
                            QString::fromStdString(activePresetID_.uuidString()));
    }
    if (!values.empty()) {
        storeSettings(values);
    }
}

void AppState::saveActivePresetID() {
    savePresets(false, true);
}

std::optional<std::string> AppState::exportPresetData(const DisplayConfig &preset) {
    try {
        // A plain JSON object keeps its keys sorted.
        const nlohmann::json sorted(encodeJsonValue(preset));
        return sorted.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    } catch (const EncodingError &error) {
        log()->error("Preset \"{}\" not exported: {}", preset.name, error.what());
        return std::nullopt;
    }
}

bool AppState::importPreset(std::string_view data) {
    DisplayConfig preset;
    try {
        preset = decodeJsonValue<DisplayConfig>(parseJsonText(data));
    } catch (const DecodingError &error) {
        log()->info("Not a preset file: {}", error.what());
        return false;
    }
    preset.id = Uuid::random();
    preset.isBuiltIn = false;
    for (const DisplayConfig &existing : presets_) {
        if (existing.name == preset.name) {
            preset.name += " (Imported)";
            break;
        }
    }
    const Uuid id = preset.id;
    std::vector<DisplayConfig> presets = presets_;
    presets.push_back(std::move(preset));
    setPresets(std::move(presets), id);
    return true;
}

void AppState::setPresets(std::vector<DisplayConfig> presets, const Uuid &activePresetID) {
    if (presetChangeInDelivery_ != nullptr) {
        // A correction by a view that answers the change being delivered: part of that change.
        if (presetChangeInDelivery_->lastRound) {
            log()->warn("A view kept correcting the presets; its last correction is dropped");
            return;
        }
        if (presets != presets_) {
            presets_ = std::move(presets);
            presetChangeInDelivery_->listAmended = true;
        }
        if (activePresetID != activePresetID_) {
            activePresetID_ = activePresetID;
            presetChangeInDelivery_->activeAmended = true;
        }
        return;
    }
    if (presets == presets_ && activePresetID == activePresetID_) {
        return;
    }
    const std::vector<DisplayConfig> before = std::exchange(presets_, std::move(presets));
    const Uuid activeBefore = std::exchange(activePresetID_, activePresetID);
    PresetChangeInDelivery delivery{.listAmended = presets_ != before,
                                    .activeAmended = activePresetID_ != activeBefore};
    presetChangeInDelivery_ = &delivery;
    // Views that keep correcting each other would never settle: the last round takes no
    // correction, so every view has heard the state the change ends in.
    constexpr int rounds = 8;
    for (int round = 0; round < rounds && (delivery.listAmended || delivery.activeAmended);
         ++round) {
        const PresetChangeInDelivery heard = std::exchange(delivery, {});
        delivery.lastRound = round == rounds - 1;
        if (heard.listAmended) {
            emit presetsChanged();
        }
        if (heard.activeAmended) {
            emit activePresetIDChanged();
        }
    }
    presetChangeInDelivery_ = nullptr;

    const bool listChanged = presets_ != before;
    const bool activeChanged = activePresetID_ != activeBefore;
    // A new preset made active (duplicated, imported) is one change, stored at once.
    savePresets(listChanged, activeChanged);
    if (listChanged || activeChanged) {
        writeActiveSnapshot();
        publishPresetsToExtension();
    }
}

} // namespace tandrel
