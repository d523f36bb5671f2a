#include "host/views/SettingsView.h"

#include "host/views/PlaceholderView.h"

#include <QVBoxLayout>

namespace tandrel {

SettingsView::SettingsView(AppState &, QWidget *parent) : QWidget(parent) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new PlaceholderView(
        QStringLiteral("gearshape"), QStringLiteral("Settings"),
        QStringLiteral("Appearance presets, window transparency, feedback and credits will be set here.")));
}

} // namespace tandrel
