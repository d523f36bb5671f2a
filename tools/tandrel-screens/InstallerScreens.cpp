// The installer application's status window after a silent install that worked and one that
// found no template to install.
#include "tools/tandrel-screens/ScreenRegistry.h"
#include "wrapper/StatusWindow.h"

namespace {

using tandrel::StatusWindow;
using tandrel::screens::ScreenContext;

const tandrel::screens::ScreenRegistration screens{
    {"installer-status-installed", {360, 140},
     [](const ScreenContext &) { return StatusWindow::make(true, std::nullopt); }},
    {"installer-status-failed", {360, 140},
     [](const ScreenContext &) { return StatusWindow::make(false, "templateNotFound"); }},
};

} // namespace
