#include "host/views/DisplaySettingsView.h"

#include "host/views/PlaceholderView.h"
#include "host/views/TextButton.h"

#include <QVBoxLayout>

namespace tandrel {

DisplaySettingsView::DisplaySettingsView(AppState &, bool isSidebarCollapsed,
                                         std::function<void(const QString &id)> openWindow,
                                         QWidget *parent)
    : QWidget(parent), isSidebarCollapsed_(isSidebarCollapsed) {
    setMinimumWidth(minimumWidth);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *placeholder = new PlaceholderView(
        QStringLiteral("textformat"), QStringLiteral("Display Settings"),
        QStringLiteral("The burn-in layout editor will sit here: presets, their elements and "
                       "the position preview."));
    const std::pair<const char *, const char *> windows[] = {
        {"Open Position Preview", "positionPreview"},
        {"Validate Against FCPXML", "fcpxmlValidation"},
    };
    for (const auto &[title, id] : windows) {
        auto *button = linkButton(QString::fromUtf8(title));
        connect(button, &QAbstractButton::clicked, this,
                [openWindow, id] { openWindow(QString::fromUtf8(id)); });
        placeholder->actions()->addWidget(button, 0, Qt::AlignHCenter);
    }
    layout->addWidget(placeholder);
}

} // namespace tandrel
