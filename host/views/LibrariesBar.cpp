#include "host/views/LibrariesBar.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/ActivityIndicator.h"
#include "host/views/ElidedLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

namespace {

QWidget *statusIcon(const WatchedLibrary &library) {
    if (library.isLoaded || library.errorMessage) {
        auto *icon = new CorvaneSymbolView(library.isLoaded
                                               ? QStringLiteral("checkmark.circle.fill")
                                               : QStringLiteral("exclamationmark.triangle.fill"),
                                           11);
        corvaneForeground(icon, library.isLoaded ? Color::green() : Color::red());
        return icon;
    }
    auto *spinner = new ActivityIndicator(11);
    corvaneForeground(spinner, Color::corvaneTextSecondary());
    return spinner;
}

QWidget *libraryRow(const WatchedLibrary &library) {
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(8);
    auto *badge = new CorvaneSymbolView(QStringLiteral("folder.fill"), 12, QFont::Medium);
    corvaneForeground(badge, Color::orange());
    layout->addWidget(badge, 0, Qt::AlignVCenter);
    auto *name = new ElidedLabel(QString::fromStdString(library.name), Qt::ElideMiddle);
    corvaneFont(name, 13, CorvaneFontWeight::medium);
    layout->addWidget(name, 1);
    layout->addWidget(statusIcon(library), 0, Qt::AlignVCenter);
    return row;
}

} // namespace

LibrariesBar::LibrariesBar(AppState &state, QWidget *parent)
    : QWidget(parent), state_(state), rows_(new QVBoxLayout(this)) {
    rows_->setContentsMargins(12, 8, 12, 8);
    rows_->setSpacing(4);
    connect(&state, &AppState::watchedLibrariesChanged, this, &LibrariesBar::rebuild);
    rebuild();
}

void LibrariesBar::rebuild() {
    while (QLayoutItem *item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const WatchedLibrary &library : state_.watchedLibraries()) {
        rows_->addWidget(libraryRow(library));
    }
}

} // namespace tandrel
