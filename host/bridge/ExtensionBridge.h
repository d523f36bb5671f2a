#pragma once

#include "host/bridge/ActiveSelection.h"
#include "host/bridge/DarwinNotification.h"
#include "host/bridge/PresetSummary.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The bridge between the host and the editor panel, two processes that never call each other.
// They meet in the app group "group.com.ostrevale.tandrel": its defaults suite holds the host's
// presets, the panel's selection and the panel's size; its folder holds the files dropped on
// the panel; and notifications that carry nothing but a name say when one of them changed.
// The host uses the host half, the panel the extension half, both the notifications.
//
// Every operation opens the suite afresh, so each side reads what the other wrote last. When
// the group's folder cannot be had (or is another user's), reads give their empty value and
// writes and postings are skipped. Nothing here reports an error: a record that does not encode
// skips only its own store, and one that does not decode reads as nothing published.
namespace tandrel::ExtensionBridge {

inline constexpr const char *suiteName = "group.com.ostrevale.tandrel";
// Keys in the suite.
inline constexpr const char *presetsKey = "ExtensionBridge.Presets";
inline constexpr const char *activePresetIDKey = "ExtensionBridge.ActivePresetID";
inline constexpr const char *activeSelectionKey = "ExtensionBridge.ActiveSelection";
inline constexpr const char *panelWidthKey = "ExtensionBridge.PanelWidth";
inline constexpr const char *panelHeightKey = "ExtensionBridge.PanelHeight";
// The folder of dropped FCPXML files in the group's folder.
inline constexpr const char *groundTruthDropsFolder = "GroundTruthDrops";

// The group's folder, created when missing; nothing when it cannot be had. A folder that is
// not the user's alone (another user made it first, or others may write it) is never used;
// `problem`, when given, then says why.
std::optional<std::filesystem::path> containerURL(std::string *problem = nullptr);

// A name as the bridge carries it (a sequence's, a preset's): at most what the panel shows and
// the host matches of it, elided in the middle to shownNameCharacters characters of at most 31
// code points (elidedLine, which looks at no more than 64 KiB of either end), bytes that are
// not UTF-8 as U+FFFD. Both sides write and read names kept so, so a name of megabytes makes
// no suite of megabytes; the host matches a sequence with the same form of its timelines'
// names (two names that differ only in their middle, past 300 characters, match alike).
std::string keptName(std::string_view name);

// Host half.
// Stores the presets (a JSON array) and the active preset's id, then posts presetsChanged.
void publishPresets(const std::vector<PresetSummary> &presets, const Uuid &activePresetID);
// The panel's last selection; nothing when none was published or it does not decode.
std::optional<ActiveSelection> readActiveSelection();

// Extension half.
struct PublishedPresets {
    std::vector<PresetSummary> presets;
    std::optional<Uuid> activePresetID;
};
// The host's presets (empty when none or undecodable) and its active preset (nothing when the
// stored text is no UUID).
PublishedPresets readPresets();
// Stores the selection, dated now, then posts selectionChanged.
void publishActiveSelection(const std::optional<std::string> &sequenceName,
                            const std::optional<Uuid> &selectedPresetID);

struct PanelSize {
    double width = 0;
    double height = 0;
    friend bool operator==(const PanelSize &, const PanelSize &) = default;
};
// Points; far beyond any screen, well within the window's whole-point sizes.
inline constexpr double largestPanelSide = 100'000;
// The stored size when both of its values are above 0 and at most `largestPanelSide`;
// `defaultSize` whole otherwise, never one stored value with one default.
PanelSize readPanelSize(PanelSize defaultSize);
// Each value is stored by itself.
void savePanelSize(double width, double height);

// Both halves.
// Runs `callback` at every posting of the notification, on the notification centre's thread
// (never the main thread): callbacks that touch main-thread state move there themselves. Each
// call adds a callback; none is ever removed.
void observeDarwinNotification(DarwinNotification notification, std::function<void()> callback);
// Posts the notification to every process that observes it.
void post(DarwinNotification notification);

} // namespace tandrel::ExtensionBridge
