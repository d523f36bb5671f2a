#include "host/views/layout/ElementListView.h"

#include "host/views/common/QtText.h"

#include "designkit/Color.h"
#include "designkit/CorvaneChipChrome.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/layout/ActivePreset.h"
#include "host/views/layout/ElementChip.h"
#include "host/views/layout/ElementList.h"
#include "host/views/layout/FlowLayout.h"
#include "host/views/layout/PlainButton.h"

#include <QMenu>

namespace tandrel {

using namespace corvane;

ElementListView::ElementListView(AppState &state, const BulkStyleValues &bulk,
                                 std::function<void()> openEditor, QWidget *parent)
    : QWidget(parent), state_(state), bulk_(bulk), openEditor_(std::move(openEditor)),
      flow_(new FlowLayout(spacing, this)),
      add_(new PlainButton(QStringLiteral("plus"), qtText(ElementList::addElementTitle),
                           corvaneFont(14, CorvaneFontWeight::medium))),
      menu_(new QMenu(this)) {
    flow_->setContentsMargins(0, 0, 0, 0);
    add_->setAccessibleName(qtText(ElementList::addElementTitle));
    // The chip chrome pads it: a chip of the element chips' height (their switch is their
    // tallest part), its text on their line.
    add_->setBare(true);
    add_->setMinimumHeight(MiniSwitch::switchSize.height());
    corvaneForeground(add_, Color::primary());
    addChip_ = corvaneChipChrome(add_, false, Color::corvaneAccent(), CorvaneChipStyle::standard(),
                                 CorvaneChipSize::compact);
    addChip_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(add_, &QAbstractButton::clicked, this,
            [this] { menu_->popup(add_->mapToGlobal(QPoint(0, add_->height()))); });
    connect(menu_, &QMenu::aboutToShow, this, &ElementListView::fillAddMenu);
    flow_->addWidget(addChip_);

    for (const auto changed : {&AppState::presetsChanged, &AppState::activePresetIDChanged,
                               &AppState::selectedElementIDsChanged}) {
        connect(&state, changed, this, &ElementListView::refresh);
    }
    refresh();
}

std::vector<ElementChip *> ElementListView::chips() const {
    std::vector<ElementChip *> inOrder;
    for (const Uuid &id : order_) {
        inOrder.push_back(chips_.at(id));
    }
    return inOrder;
}

ElementChip *ElementListView::chip(const Uuid &id) const {
    const auto found = chips_.find(id);
    return found == chips_.end() ? nullptr : found->second;
}

void ElementListView::refresh() {
    const DisplayConfig preset = ActivePreset(state_).preset();
    const std::set<Uuid> &selection = state_.selectedElementIDs();
    std::map<Uuid, ElementChip *> kept;
    std::vector<Uuid> order;
    for (const BurnInElement &element : preset.elements) {
        if (kept.contains(element.id)) {
            continue;
        }
        const bool selected = selection.contains(element.id);
        ElementChip *chip = nullptr;
        if (const auto shown = chips_.find(element.id); shown != chips_.end()) {
            chip = shown->second;
            chips_.erase(shown);
            chip->showElement(element, selected);
        } else {
            chip = new ElementChip(state_, element, selected, [this] {
                if (openEditor_) {
                    openEditor_();
                }
            });
        }
        kept.emplace(element.id, chip);
        order.push_back(element.id);
    }
    // Chips of elements that are gone: later, as one of their own buttons may be what runs.
    for (const auto &[id, gone] : chips_) {
        flow_->removeWidget(gone);
        gone->hide();
        gone->deleteLater();
    }
    chips_ = std::move(kept);
    if (order != order_) {
        // The layout takes the chips again in element order, the add menu last.
        for (const auto &[id, chip] : chips_) {
            flow_->removeWidget(chip);
        }
        flow_->removeWidget(addChip_);
        for (const Uuid &id : order) {
            ElementChip *chip = chips_.at(id);
            flow_->addWidget(chip);
            chip->setVisible(true);
        }
        flow_->addWidget(addChip_);
        order_ = std::move(order);
    }
    flow_->invalidate();
    updateGeometry();
}

void ElementListView::fillAddMenu() {
    menu_->clear();
    if (state_.pasteboardHasElement()) {
        menu_->addAction(qtText(ElementList::pasteElementTitle), this,
                         [this] { state_.pasteElementFromPasteboard(); });
        menu_->addSeparator();
    }
    for (const MetadataField field : MetadataField::allCases()) {
        menu_->addAction(qtText(field.displayName()), this,
                         [this, field] { ElementList::addElement(state_, field, bulk_); });
    }
}

} // namespace tandrel
