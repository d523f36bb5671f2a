#include "designkit/FloatingPanelHeader.h"

#include <QCoreApplication>

namespace corvane {

std::vector<PanelHeaderButton> FloatingPanelHeader::buttons(bool hasExpand, bool hasClose) {
    std::vector<PanelHeaderButton> buttons;
    if (hasExpand) {
        buttons.push_back({PanelHeaderButton::Role::expand,
                           QStringLiteral("arrow.up.left.and.arrow.down.right"),
                           QCoreApplication::translate("CorvaneFloatingPanel", "Expand")});
    }
    if (hasClose) {
        buttons.push_back({PanelHeaderButton::Role::close, QStringLiteral("xmark"),
                           QCoreApplication::translate("CorvaneFloatingPanel", "Close")});
    }
    return buttons;
}

} // namespace corvane
