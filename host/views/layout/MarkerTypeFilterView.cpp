#include "host/views/layout/MarkerTypeFilterView.h"

#include "host/state/AppState.h"
#include "host/views/layout/EditorControls.h"
#include "host/views/layout/EditorStyle.h"
#include "host/views/layout/ElementBinding.h"
#include "host/views/layout/ElementOptions.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tandrel {

MarkerTypeFilterView::MarkerTypeFilterView(AppState &state, const Uuid &id, QWidget *parent)
    : QWidget(parent), heading_(EditorControls::heading(ElementOptions::markerTypeHeading)) {
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);
    stack->addWidget(heading_);
    const QStringList titles = EditorControls::titles(ElementOptions::markerTypeToggles);
    for (std::size_t i = 0; i < toggles_.size(); ++i) {
        auto *toggle = new QCheckBox(titles[static_cast<qsizetype>(i)]);
        EditorStyle::toggle(toggle, EditorStyle::caption());
        const MarkerType type = ElementOptions::markerTypeToggles[i].value;
        connect(toggle, &QCheckBox::clicked, this, [&state, id, type](bool on) {
            ElementBinding(state, id).update(
                [&](BurnInElement &element) { ElementOptions::setMarkerType(element, type, on); });
        });
        toggles_[i] = toggle;
        stack->addWidget(toggle);
    }
    const auto follow = [this, &state, id] { showElement(ElementBinding(state, id).get()); };
    for (const auto changed : {&AppState::presetsChanged, &AppState::activePresetIDChanged}) {
        connect(&state, changed, this, follow);
    }
    follow();
}

void MarkerTypeFilterView::showElement(const BurnInElement &element) {
    for (std::size_t i = 0; i < toggles_.size(); ++i) {
        const QSignalBlocker quiet(toggles_[i]);
        toggles_[i]->setChecked(
            element.markerTypes.contains(ElementOptions::markerTypeToggles[i].value));
    }
}

} // namespace tandrel
