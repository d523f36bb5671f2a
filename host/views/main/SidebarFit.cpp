#include "host/views/main/SidebarFit.h"

#include "designkit/SplitShellGeometry.h"

namespace tandrel {

bool SidebarFit::docks(int shellWidth, double sidebarWidth, int panelColumnWidth,
                       int centreMinimum) {
    const corvane::SplitShellGeometry docked =
        corvane::SplitShellGeometry::compute(QSize(shellWidth, 0), sidebarWidth, 1);
    return docked.content.width() - panelColumnWidth >= centreMinimum;
}

} // namespace tandrel
