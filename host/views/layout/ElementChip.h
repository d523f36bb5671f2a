#pragma once

#include "core/model/BurnInElement.h"

#include <QAbstractButton>
#include <QWidget>

#include <functional>

class QMenu;

namespace corvane {
class CorvaneChipChrome;
class CorvaneSymbolView;
} // namespace corvane

namespace tandrel {

class AppState;
class ElidedLabel;

// A small on/off switch without a label, the size of the chip's text.
class MiniSwitch : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr QSize switchSize{26, 15};

    explicit MiniSwitch(QWidget *parent = nullptr);

    QSize sizeHint() const override { return switchSize; }
    QSize minimumSizeHint() const override { return switchSize; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

// One element of the active preset in the layout editor's element list: its enable switch,
// its name (selects it; Shift extends the selection) and its remove button, in the kit's chip
// chrome, selected while the element is in the selection. Its context menu copies the element
// to the pasteboard and, when the pasteboard holds an element as the menu opens, pastes it.
// Every change goes through the state object; the list shows the result with showElement().
// Given less width than its name needs, the name is cut short with "…" and the switch and the
// remove button stay whole.
class ElementChip : public QWidget {
    Q_OBJECT

public:
    // Runs after a click on the name has changed the selection.
    using Selected = std::function<void()>;

    ElementChip(AppState &state, const BurnInElement &element, bool isSelected, Selected selected,
                QWidget *parent = nullptr);

    const Uuid &id() const { return id_; }
    // Shows the element as it is now.
    void showElement(const BurnInElement &element, bool isSelected);

    QAbstractButton *enableSwitch() const { return switch_; }
    QAbstractButton *selectButton() const { return select_; }
    QAbstractButton *removeButton() const { return remove_; }
    ElidedLabel *nameLabel() const { return name_; }
    // Shown only while a role element has no role to show.
    corvane::CorvaneSymbolView *warningIcon() const { return warning_; }
    corvane::CorvaneChipChrome *chrome() const { return chrome_; }
    // Its items are made as it opens.
    QMenu *contextMenu() const { return menu_; }

private:
    void fillMenu();

    AppState &state_;
    Uuid id_;
    // As shown: what "Copy" puts on the pasteboard.
    BurnInElement element_;
    Selected selected_;
    MiniSwitch *switch_;
    QAbstractButton *select_;
    corvane::CorvaneSymbolView *warning_;
    ElidedLabel *name_;
    QAbstractButton *remove_;
    corvane::CorvaneChipChrome *chrome_;
    QMenu *menu_;
};

} // namespace tandrel
