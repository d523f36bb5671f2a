#pragma once

#include <QWidget>

#include <functional>

class QComboBox;

namespace tandrel {

class AppState;
class PlainButton;

// The layout editor's preset row: a menu of every preset by name, bound to the active preset,
// the new-preset button and, for the user's own presets, the rename button; on a faint
// rounded card. When the active id names no preset, the menu shows none selected. The menu
// keeps one width whatever the names, so the buttons beside it stay where they are; a name too
// long for it is cut short with "…".
class PresetPickerRow : public QWidget {
    Q_OBJECT

public:
    static constexpr const char *newPresetTooltip = "New preset (duplicates the current one)";
    static constexpr const char *newPresetLabel = "New Preset";
    static constexpr const char *renameTooltip = "Rename preset";
    static constexpr const char *renameLabel = "Rename Preset";
    static constexpr int pickerWidth = 220;

    PresetPickerRow(AppState &state, std::function<void()> newPreset, std::function<void()> rename,
                    QWidget *parent = nullptr);

    QComboBox *picker() const { return picker_; }
    PlainButton *newPresetButton() const { return newPreset_; }
    // Hidden while the active preset is built in (or there is none).
    PlainButton *renameButton() const { return rename_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refresh();

    AppState &state_;
    QComboBox *picker_;
    PlainButton *newPreset_;
    PlainButton *rename_;
};

} // namespace tandrel
