#pragma once

#include "host/views/layout/AspectRatioPicker.h"

#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;

namespace tandrel {

// Edits an optional visible-picture ratio (width ÷ height; absent is the full frame): a menu of
// "Full Frame", four common ratios and "Custom", and while "Custom" is chosen a "W" : "H" pair
// of fields. It writes only through `write`, and only usable ratios (finite, above 0); typing
// keeps the last good ratio until the texts give a new one.
//
// The owner tells it when the bound ratio changed, from here or from anywhere else:
//
//     auto *picker = new AspectRatioPickerView(
//         [&options] { return options.visiblePictureAspectRatio(); },
//         [&options](std::optional<double> r) { options.setVisiblePictureAspectRatio(r); });
//     connect(&state, &AppState::presetsChanged, picker, &AspectRatioPickerView::refresh);
class AspectRatioPickerView : public QWidget {
    Q_OBJECT

public:
    using Read = std::function<std::optional<double>()>;
    using Write = std::function<void(std::optional<double> ratio)>;

    static constexpr int menuWidth = 100;
    static constexpr int fieldWidth = 34;

    AspectRatioPickerView(Read read, Write write, QWidget *parent = nullptr);

    // Shows the bound ratio again: the menu's entry, and the custom row as its rules say.
    void refresh();

    AspectRatioPicker::Preset selection() const;
    bool showsCustomFields() const { return customShown_; }
    const CustomRatioFields &customFields() const { return fields_; }

    QComboBox *menu() const { return menu_; }
    QLineEdit *widthField() const { return widthField_; }
    QLineEdit *heightField() const { return heightField_; }

private:
    void choose(int index);
    void edited();
    void submitted();
    void showFields();

    Read read_;
    Write write_;
    CustomRatioFields fields_;
    bool customShown_ = false;
    std::optional<double> shownRatio_;
    QComboBox *menu_;
    QWidget *customRow_;
    QLineEdit *widthField_;
    QLineEdit *heightField_;
};

} // namespace tandrel
