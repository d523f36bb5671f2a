#pragma once

#include "core/model/DisplayConfig.h"
#include "host/views/layout/BulkStyle.h"
#include "host/views/layout/ColorWell.h"
#include "host/views/layout/ElementBinding.h"
#include "host/views/layout/PresetManagement.h"
#include "host/views/layout/RightPanel.h"

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAbstractButton;
class QLabel;
class QLayout;
class QMessageBox;
class QScrollArea;

namespace corvane {
class CorvaneFloatingPanel;
class CorvaneFloatingPanelColumn;
class CorvanePanelToggleButton;
} // namespace corvane

namespace tandrel {

class AppState;
class BulkStylePanel;
class ElementEditor;
class ElementListView;
class RoleSource;
class PresetPickerRow;
class PresetSettingsPanel;

// The layout editor: the main window's content pane, where burn-in presets are designed. On
// the left one scrolling column: the header with the panel switches, the preset row, the
// element list and the position preview of the active preset. On the right, while any is
// open, a column of floating panels, always in the order "Editor", "Settings", "Bulk Style",
// "Validate". The pane keeps no preset data: it reads the state object and writes every edit
// back into its preset list (see ActivePreset). It opens the validation window whenever the
// editor panel hands over a dropped FCPXML file, and the position preview window on request.
//
// The element list (elementList()) holds a chip per element of the active preset and the
// "Add Element..." menu; a chip click opens the "Editor" panel. The parts that stand on their
// own sit in slots, each made through `Services`:
//   - the canvas area: makeCanvas, shown while a preset is active (else "No preset selected."),
//     with the separate-window button over its top trailing corner;
//   - the "Editor" panel: makeElementEditor (the ElementEditor by default), for the primary
//     selected element of the active preset (else "Select an element to edit it.");
//   - the "Validate" panel: makeValidationTile, a new tile every time the panel opens.
class DisplaySettingsView : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumWidth = 420;
    static constexpr int panelColumnWidth = 360;
    static constexpr int canvasMinimumHeight = 360;
    // The main column's padding, and the least width its content keeps (it scrolls sideways
    // below that rather than crushing the rows).
    static constexpr int columnPadding = 16;
    static constexpr int columnMinimumWidth = 320;
    // Room for the window's own controls over the header while the sidebar is collapsed.
    static constexpr int defaultCollapsedHeaderInset = 162;
    static constexpr std::chrono::milliseconds renameFocusDelay{50};
    static constexpr const char *title = "Display Settings";
    static constexpr const char *noPresetText = "No preset selected.";
    static constexpr const char *noElementText = "Select an element to edit it.";
    static constexpr const char *separateWindowTooltip =
        "Open as a separate, freely-movable window";
    static constexpr const char *separateWindowLabel = "Open in Separate Window";
    static constexpr const char *positionPreviewWindow = "positionPreview";
    static constexpr const char *validationWindow = "fcpxmlValidation";

    using OpenWindow = std::function<void(const QString &id)>;

    // What the pane calls on; tests replace any of it.
    struct Services {
        // The canvas of the active preset (the position preview).
        std::function<QWidget *(AppState &)> makeCanvas;
        // The compact validation tile of the "Validate" panel, made fresh on every opening.
        std::function<QWidget *(AppState &)> makeValidationTile;
        // The element editor of one element of the active preset; without it the "Editor"
        // panel shows its hint.
        std::function<QWidget *(DisplaySettingsView &, const Uuid &elementID)> makeElementEditor;
        // Save and open panels of preset files, and the alert of a failed export.
        PresetManagement::Services presetFiles;
        // Asks whether to reset a preset ("Reset" or "Cancel") without blocking, and hands the
        // answer (true to reset) to `answer` once the user has chosen; never when `parent` went
        // first.
        std::function<void(QWidget *parent, const QString &title, const QString &message,
                           std::function<void(bool reset)> answer)>
            confirmReset;
        // Runs `work` once, renameFocusDelay from now, unless `context` is gone by then.
        std::function<void(QObject *context, std::function<void()> work)> afterRenameDelay;
        // The colour pickers of the bulk style panel and of the element editor.
        ColorWell::Pick pickColor;
        // The roles of the element editor's role picker; null: the state object's query
        // resolver, read under its lock.
        std::shared_ptr<const RoleSource> roles = nullptr;

        // The position preview with its crop picker, the validation tile checking through the
        // state object, the element editor, Qt's dialogs and a timer.
        static Services standard();
    };

    // The reset confirmation of the standard services: the question in bold over the message,
    // "Reset" in the destructive red and "Cancel" (the default).
    static std::unique_ptr<QMessageBox> resetConfirmation(QWidget *parent, const QString &title,
                                                          const QString &message);

    DisplaySettingsView(AppState &state, bool isSidebarCollapsed, OpenWindow openWindow,
                        QWidget *parent = nullptr);
    DisplaySettingsView(AppState &state, bool isSidebarCollapsed, OpenWindow openWindow,
                        Services services, QWidget *parent = nullptr);
    ~DisplaySettingsView() override;

    AppState &state() const { return state_; }

    // The active preset, or a default preset that is never stored.
    DisplayConfig activePreset() const;
    // Replaces the active preset in the list (one write); dropped without an active preset.
    bool setActivePreset(DisplayConfig preset);

    // The floating panels.
    const OpenPanels &activePanels() const { return activePanels_; }
    // A header switch: closes an open panel, opens a closed one.
    void togglePanel(RightPanel panel);
    // Opens a panel (nothing when it is open); a chip click opens "Editor" this way.
    void insertPanel(RightPanel panel);
    void removePanel(RightPanel panel);
    // The open panel of that case; null while it is closed.
    corvane::CorvaneFloatingPanel *panelView(RightPanel panel) const;
    // Opens the validation window for "Validate", handing it the tile's check; nothing for
    // the others.
    std::function<void()> onExpandAction(RightPanel panel) const;

    // The bulk style values: the "Bulk Style" panel edits them, new elements are seeded from
    // them.
    BulkStyleValues &bulkStyle() { return bulkStyle_; }

    // One element of the active preset, read and written by id (a placeholder that is never
    // stored, and dropped writes, once it is gone), with its text and background colours.
    ElementBinding elementBinding(const Uuid &id) const { return {state_, id}; }
    ElementColorBinding elementColorBinding(const Uuid &id, bool background) const {
        return {elementBinding(id), background};
    }
    // The element editor of one element, on the pane's colour picker and roles.
    ElementEditor *makeElementEditor(const Uuid &id) const;

    // Preset management (PresetManagement), from the preset row and the "Settings" panel.
    void duplicateActivePreset();
    void exportActivePreset();
    void importPresetFromFile();
    void deleteActivePreset();
    void resetActivePresetToFactory();
    // Asks for confirmation, then resets the preset the question named (the active one when
    // it was asked), wherever it is by then; nothing when it is gone.
    void confirmResetActivePreset();
    bool showResetPresetConfirm() const { return showResetPresetConfirm_; }
    // The preset row's "New Preset": a duplicate, with the "Settings" panel open.
    void newPreset();
    // The preset row's "Rename Preset": opens "Settings", then moves the keyboard into the
    // name field a moment later.
    void renamePreset();

    bool isSidebarCollapsed() const { return isSidebarCollapsed_; }
    // The main window's sidebar was collapsed or shown.
    void setSidebarCollapsed(bool collapsed);
    // How far the header moves right while the sidebar is collapsed, clear of the window's
    // own controls.
    void setCollapsedHeaderInset(int inset);
    // How far it moves right at least, whatever the sidebar: clear of the window's controls
    // where a narrow sidebar leaves them reaching over the pane.
    void setHeaderClearance(int clearance);
    int headerInset() const;

    // The parts, for the main window, later work and tests.
    QScrollArea *mainColumn() const { return mainScroll_; }
    QWidget *headerIcon() const { return headerIcon_; }
    const std::map<RightPanel, corvane::CorvanePanelToggleButton *> &panelSwitches() const {
        return switches_;
    }
    PresetPickerRow *presetPicker() const { return presetPicker_; }
    // The chips of the active preset's elements and the add menu.
    ElementListView *elementList() const { return elementList_; }
    // The canvas made by Services::makeCanvas; hidden while no preset is active.
    QWidget *canvas() const { return canvas_; }
    QLabel *noPresetLabel() const { return noPreset_; }
    QAbstractButton *separateWindowButton() const { return separateWindow_; }
    corvane::CorvaneFloatingPanelColumn *panelColumn() const { return column_; }
    // The contents of the open panels; null while their panel is closed.
    QWidget *editorContent() const;
    PresetSettingsPanel *settingsContent() const;
    BulkStylePanel *bulkStyleContent() const;
    QWidget *validationTile() const;

private:
    QWidget *makeHeaderRow();
    QWidget *makeCanvasArea();
    corvane::CorvaneFloatingPanel *makePanel(RightPanel panel);
    QWidget *makePanelContent(RightPanel panel);
    void showPanels(bool animated);
    void showActivePreset();
    void followXMLDrop();

    AppState &state_;
    OpenWindow openWindow_;
    Services services_;
    PresetManagement presets_;
    bool isSidebarCollapsed_;
    int collapsedHeaderInset_ = defaultCollapsedHeaderInset;
    int headerClearance_ = 0;
    BulkStyleValues bulkStyle_;
    bool showResetPresetConfirm_ = false;
    OpenPanels activePanels_;
    // The drop the pane last saw; a change to another file opens the validation window.
    std::optional<std::filesystem::path> seenXMLDrop_;

    QScrollArea *mainScroll_ = nullptr;
    QWidget *headerIcon_ = nullptr;
    std::map<RightPanel, corvane::CorvanePanelToggleButton *> switches_;
    PresetPickerRow *presetPicker_ = nullptr;
    ElementListView *elementList_ = nullptr;
    QWidget *canvasArea_ = nullptr;
    QWidget *canvas_ = nullptr;
    QLabel *noPreset_ = nullptr;
    QAbstractButton *separateWindow_ = nullptr;
    corvane::CorvaneFloatingPanelColumn *column_ = nullptr;
    std::map<RightPanel, QPointer<corvane::CorvaneFloatingPanel>> panels_;
};

} // namespace tandrel
