#include "host/views/ValidationView.h"

#include "host/views/PlaceholderView.h"

#include <QVBoxLayout>

namespace tandrel {

ValidationView::ValidationView(AppState &, QWidget *parent) : QWidget(parent) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new PlaceholderView(
        QStringLiteral("checkmark.seal"), QStringLiteral("Validate Against FCPXML"),
        QStringLiteral("The served timeline's edit list compared with the editor's FCPXML export of it.")));
}

} // namespace tandrel
