#pragma once

#include "host/views/layout/ColorWell.h"
#include "host/views/layout/ElementEditorRows.h"
#include "host/views/layout/RolePickerModel.h"

#include <QWidget>

#include <map>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tandrel {

class AppState;
class CommitOnReleaseSlider;
class MarkerTypeFilterView;
class RolePickerView;
class StackedLayerOptionsView;

// The column of controls of one element of the active preset, in the "Editor" panel: its
// field, label, size, alignment, colours, opacities, background and position, with the
// sections of the marker, role and stacked-layer fields among them (ElementEditorRows). The
// pickers and the switch write at every change; the label when the user is done typing it
// (Return, or leaving the field); the five numbers are commit-on-release sliders, one write
// per drag; the colour wells write a picked colour by the colour rule. A field change shows
// and hides the sections at once and keeps everything else.
class ElementEditor : public QWidget {
    Q_OBJECT

public:
    struct Services {
        ColorWell::Pick pickColor;
        // The roles of the role picker.
        std::shared_ptr<const RoleSource> roles;
    };

    ElementEditor(AppState &state, const Uuid &id, Services services, QWidget *parent = nullptr);

    const Uuid &id() const { return id_; }

    // The rows, each while it exists for the element's field.
    QWidget *row(ElementEditorRow row) const;
    // The rows shown now, top to bottom.
    std::vector<ElementEditorRow> shownRows() const;

    QComboBox *fieldPicker() const { return field_; }
    QLineEdit *labelField() const { return label_; }
    QComboBox *alignmentPicker() const { return alignment_; }
    ColorWell *textColor() const { return textColor_; }
    QCheckBox *backgroundSwitch() const { return background_; }
    ColorWell *backgroundColor() const { return bgColor_; }
    // The slider of a number row; null for the other rows.
    CommitOnReleaseSlider *slider(ElementEditorRow row) const;
    MarkerTypeFilterView *markerTypeFilter() const { return markerTypes_; }
    StackedLayerOptionsView *stackedLayerOptions() const { return stackedLayers_; }
    RolePickerView *rolePicker() const { return roles_; }

private:
    void add(ElementEditorRow row, QWidget *widget);
    void refresh();

    AppState &state_;
    Uuid id_;
    std::map<ElementEditorRow, QWidget *> rows_;
    std::map<ElementEditorRow, CommitOnReleaseSlider *> sliders_;
    QComboBox *field_;
    QLineEdit *label_;
    QComboBox *alignment_;
    ColorWell *textColor_;
    QCheckBox *background_;
    ColorWell *bgColor_;
    MarkerTypeFilterView *markerTypes_;
    StackedLayerOptionsView *stackedLayers_;
    RolePickerView *roles_;
};

} // namespace tandrel
