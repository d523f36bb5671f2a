#include "host/bridge/ExtensionBridge.h"

#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"
#include "core/support/Log.h"
#include "core/support/UnicodeText.h"
#include "host/bridge/DarwinObserverBox.h"
#include "platform/notify/DarwinNotifyCenter.h"
#include "platform/runtime/AppGroup.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cmath>

namespace tandrel::ExtensionBridge {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel", "bridge");
}

// Opened afresh for each operation; null without the group's folder.
std::shared_ptr<platform::KeyValueStore> suite() {
    return platform::AppGroup::suite(suiteName);
}

// The JSON text of a record, or nothing when it does not encode.
template <typename T> std::optional<QByteArray> encoded(const T &value, const char *what) {
    try {
        return QByteArray::fromStdString(encodeJsonText(encodeJsonValue(value)));
    } catch (const EncodingError &error) {
        log()->error("{} not published: {}", what, error.what());
        return std::nullopt;
    }
}

template <typename T> std::optional<T> decoded(const std::optional<QByteArray> &data) {
    if (!data) {
        return std::nullopt;
    }
    try {
        return decodeJsonValue<T>(parseJsonText(data->toStdString()));
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

// A stored size value: a number, or a text that reads as one (as an INI file keeps it);
// 0 otherwise.
double storedDouble(const platform::KeyValueStore &store, const char *key) {
    bool isNumber = false;
    const double value = store.value(key).toDouble(&isNumber);
    return isNumber ? value : 0;
}

} // namespace

std::string keptName(std::string_view name) {
    // Cut first where a library's reader cuts a name, so that a name of megabytes matches
    // its timeline's as the library gave it.
    return validUtf8(elidedLine(utf8Prefix(name, maxReadTextBytes), shownNameCharacters));
}

namespace {

void keepNames(std::vector<PresetSummary> &presets) {
    for (PresetSummary &preset : presets) {
        preset.name = keptName(preset.name);
    }
}

std::optional<ActiveSelection> kept(std::optional<ActiveSelection> selection) {
    if (selection && selection->sequenceName) {
        selection->sequenceName = keptName(*selection->sequenceName);
    }
    return selection;
}

} // namespace

std::optional<std::filesystem::path> containerURL(std::string *problem) {
    return platform::AppGroup::containerURL(suiteName, problem);
}

void publishPresets(const std::vector<PresetSummary> &presets, const Uuid &activePresetID) {
    const auto store = suite();
    if (!store) {
        return;
    }
    std::vector<PresetSummary> summaries = presets;
    keepNames(summaries);
    if (const auto data = encoded(summaries, "Presets")) {
        store->setValue(presetsKey, *data);
    }
    store->setValue(activePresetIDKey, QString::fromStdString(activePresetID.uuidString()));
    post(DarwinNotification::presetsChanged);
}

std::optional<ActiveSelection> readActiveSelection() {
    const auto store = suite();
    // A panel of an earlier version may have stored a name whole.
    return store ? kept(decoded<ActiveSelection>(store->data(activeSelectionKey))) : std::nullopt;
}

PublishedPresets readPresets() {
    const auto store = suite();
    if (!store) {
        return {};
    }
    PublishedPresets published;
    published.presets = decoded<std::vector<PresetSummary>>(store->data(presetsKey))
                            .value_or(std::vector<PresetSummary>());
    keepNames(published.presets);
    if (const auto text = store->string(activePresetIDKey)) {
        published.activePresetID = Uuid::fromString(text->toStdString());
    }
    return published;
}

void publishActiveSelection(const std::optional<std::string> &sequenceName,
                            const std::optional<Uuid> &selectedPresetID) {
    const auto store = suite();
    if (!store) {
        return;
    }
    const ActiveSelection selection{
        sequenceName ? std::optional(keptName(*sequenceName)) : std::nullopt, selectedPresetID,
        ActiveSelection::secondsSinceReferenceDate(std::chrono::system_clock::now())};
    if (const auto data = encoded(selection, "Selection")) {
        store->setValue(activeSelectionKey, *data);
    }
    post(DarwinNotification::selectionChanged);
}

PanelSize readPanelSize(PanelSize defaultSize) {
    const auto store = suite();
    if (!store) {
        return defaultSize;
    }
    const PanelSize stored{storedDouble(*store, panelWidthKey),
                           storedDouble(*store, panelHeightKey)};
    // An infinite size would make the panel's window impossible to lay out, and one beyond any
    // screen would overflow the window's whole-point size.
    const auto usable = [](double value) {
        return std::isfinite(value) && value > 0 && value <= largestPanelSide;
    };
    return usable(stored.width) && usable(stored.height) ? stored : defaultSize;
}

void savePanelSize(double width, double height) {
    if (const auto store = suite()) {
        store->setValue(panelWidthKey, width);
        store->setValue(panelHeightKey, height);
    }
}

void observeDarwinNotification(DarwinNotification notification, std::function<void()> callback) {
    DarwinObserverBox &box = DarwinObserverBox::shared();
    box.registerCallback(notification, std::move(callback));
    platform::DarwinNotifyCenter::addObserver(
        &box, std::string(notification.rawValue()),
        [](const std::string &name) { DarwinObserverBox::shared().fire(name); });
}

void post(DarwinNotification notification) {
    platform::DarwinNotifyCenter::post(std::string(notification.rawValue()));
}

} // namespace tandrel::ExtensionBridge
