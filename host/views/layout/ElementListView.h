#pragma once

#include "core/support/Uuid.h"

#include <QWidget>

#include <functional>
#include <map>

class QMenu;

namespace tandrel {

class AppState;
class ElementChip;
class FlowLayout;
class PlainButton;
struct BulkStyleValues;

// The layout editor's element list: one chip per element of the active preset, in element
// order, then the "Add Element..." menu, wrapping like words (FlowLayout, spacing 6). It keeps
// nothing of its own: it follows the presets and the selection of the state object. A click on
// a chip's name opens the "Editor" panel; adding an element selects it without opening it.
class ElementListView : public QWidget {
    Q_OBJECT

public:
    static constexpr int spacing = 6;

    // `bulk` (the pane's bulk style values) seeds new elements; `openEditor` opens the "Editor"
    // panel.
    ElementListView(AppState &state, const BulkStyleValues &bulk, std::function<void()> openEditor,
                    QWidget *parent = nullptr);

    // The chips in element order.
    std::vector<ElementChip *> chips() const;
    ElementChip *chip(const Uuid &id) const;
    PlainButton *addButton() const { return add_; }
    // Its items are made as it opens: "Paste Element" first while the pasteboard holds an
    // element, then one item per field.
    QMenu *addMenu() const { return menu_; }

private:
    void refresh();
    void fillAddMenu();

    AppState &state_;
    const BulkStyleValues &bulk_;
    std::function<void()> openEditor_;
    FlowLayout *flow_;
    std::map<Uuid, ElementChip *> chips_;
    std::vector<Uuid> order_;
    PlainButton *add_;
    QWidget *addChip_;
    QMenu *menu_;
};

} // namespace tandrel
