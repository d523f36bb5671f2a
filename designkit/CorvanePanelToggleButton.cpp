#include "designkit/CorvanePanelToggleButton.h"

#include "designkit/Color.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Palette.h"

namespace corvane {

CorvanePanelToggleButton::CorvanePanelToggleButton(const QString &icon, bool isActive,
                                                   const QString &help,
                                                   std::function<void()> action, QWidget *parent)
    : CorvaneSymbolButton(icon, 13, QFont::Medium, parent), active_(!isActive),
      tooltip_(corvaneTooltip(this, help, std::nullopt, Edge::bottom)) {
    setActive(isActive);
    if (action) {
        connect(this, &QAbstractButton::clicked, this, std::move(action));
    }
}

void CorvanePanelToggleButton::setActive(bool isActive) {
    if (isActive == active_) {
        return;
    }
    active_ = isActive;
    corvaneForeground(this, isActive ? Color::corvaneAccent() : Color::corvaneTextSecondary());
    update();
}

QString CorvanePanelToggleButton::helpText() const {
    return tooltip_->text();
}

} // namespace corvane
