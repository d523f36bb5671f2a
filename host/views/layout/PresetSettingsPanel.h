#pragma once

#include "core/support/Uuid.h"
#include "host/views/layout/PresetOptions.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace tandrel {

class AppState;
class AspectRatioPickerView;
class PlainButton;

// The content of the layout editor's "Settings" panel: the preset's action row (duplicate,
// export, import, and reset for a built-in preset or delete for the user's own), its name
// field (a caption instead for a built-in preset), then the five display options. The name is
// written when the user is done typing it (Return, or leaving the field), to the preset it was
// typed for; every other control writes at once. The rows follow the active preset whenever it
// or the list changes.
class PresetSettingsPanel : public QWidget {
    Q_OBJECT

public:
    // What the action buttons do; the reset action asks before it resets.
    struct Actions {
        std::function<void()> duplicate;
        std::function<void()> exportPreset;
        std::function<void()> importPreset;
        std::function<void()> reset;
        std::function<void()> remove;
    };

    PresetSettingsPanel(AppState &state, Actions actions, QWidget *parent = nullptr);

    // Moves the keyboard into the name field, when the preset has one.
    void focusNameField();

    PlainButton *duplicateButton() const { return duplicate_; }
    PlainButton *exportButton() const { return export_; }
    PlainButton *importButton() const { return import_; }
    PlainButton *resetButton() const { return reset_; }
    PlainButton *deleteButton() const { return delete_; }
    QLineEdit *nameField() const { return nameField_; }
    QLabel *builtInCaption() const { return builtInCaption_; }
    AspectRatioPickerView *aspectRatioPicker() const { return aspectRatio_; }
    QCheckBox *constrainToggle() const { return constrain_; }
    QCheckBox *stackedLayersToggle() const { return stackedLayers_; }
    QComboBox *stackOrderPicker() const { return stackOrder_; }
    QCheckBox *hideOnGeneratorsToggle() const { return hideOnGenerators_; }

private:
    QWidget *makeActionRow(Actions actions);
    QWidget *makeNameRow();
    QWidget *makeOptionRows();
    void refresh();
    // Renames the preset of that id, wherever it is in the list.
    void rename(const Uuid &id, const QString &name);

    AppState &state_;
    // The preset whose name the field shows (and any typing in it is for).
    Uuid namedPreset_;
    PresetOptions options_;
    PlainButton *duplicate_ = nullptr;
    PlainButton *export_ = nullptr;
    PlainButton *import_ = nullptr;
    PlainButton *reset_ = nullptr;
    PlainButton *delete_ = nullptr;
    QLineEdit *nameField_ = nullptr;
    QLabel *builtInCaption_ = nullptr;
    AspectRatioPickerView *aspectRatio_ = nullptr;
    QCheckBox *constrain_ = nullptr;
    QCheckBox *stackedLayers_ = nullptr;
    QComboBox *stackOrder_ = nullptr;
    QCheckBox *hideOnGenerators_ = nullptr;
};

} // namespace tandrel
