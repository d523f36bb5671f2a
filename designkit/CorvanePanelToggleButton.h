#pragma once

#include "designkit/CorvaneSymbolButton.h"

#include <functional>

namespace corvane {

class CorvaneTooltipModifier;

// A symbol button that switches a panel on and off: the symbol in the accent colour while the
// panel is on, in the secondary text colour while it is off, and the help text as the kit's
// tooltip below it. The caller owns the state: it passes it in and changes it from the
// action.
class CorvanePanelToggleButton : public CorvaneSymbolButton {
    Q_OBJECT

public:
    CorvanePanelToggleButton(const QString &icon, bool isActive, const QString &help,
                             std::function<void()> action, QWidget *parent = nullptr);

    bool isActive() const { return active_; }
    void setActive(bool isActive);
    QString helpText() const;
    CorvaneTooltipModifier *tooltip() const { return tooltip_; }

private:
    bool active_;
    CorvaneTooltipModifier *tooltip_;
};

} // namespace corvane
