#include "host/views/SettingsView.h"

namespace tandrel {

SettingsView::SettingsView(AppState &, QWidget *parent)
    : PlaceholderView(
          QStringLiteral("gearshape"), QStringLiteral("Settings"),
          QStringLiteral(
              "Appearance presets, window transparency, feedback and credits will be set here."),
          parent) {}

} // namespace tandrel
