#include "host/views/main/EmptyStateView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/StyledLabel.h"
#include "host/views/main/DetectFromFCPButton.h"
#include "host/views/main/LibraryPicker.h"

#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

EmptyStateView::EmptyStateView(AppState &state, LibraryPicker &picker, QWidget *parent)
    : QWidget(parent) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addStretch(1);

    auto *symbol = new CorvaneSymbolView(QStringLiteral("film.stack"), 48);
    corvaneForeground(symbol, Color::corvaneTextTertiary());
    layout->addWidget(symbol, 0, Qt::AlignHCenter);

    auto *invitation = new QLabel(QStringLiteral("Drop an FCP Library here"));
    invitation->setTextFormat(Qt::PlainText);
    invitation->setAlignment(Qt::AlignCenter);
    invitation->setWordWrap(true);
    corvaneFont(invitation, 17, CorvaneFontWeight::medium);
    corvaneForeground(invitation, Color::corvaneTextSecondary());
    layout->addWidget(invitation);

    auto *alternative = styledLabel(QStringLiteral("or click the button below"), corvaneMicro);
    alternative->setAlignment(Qt::AlignCenter);
    alternative->setWordWrap(true);
    layout->addWidget(alternative);

    auto *add = new CorvaneButton(QStringLiteral("Add Library..."), {.isActive = true});
    add->setObjectName(QStringLiteral("addLibraryButton"));
    connect(add, &QAbstractButton::clicked, this,
            [this, &state, &picker] { openLibraryFilePicker(state, picker, window()); });
    layout->addWidget(add, 0, Qt::AlignHCenter);

    // As wide as the button and centred like the rest; with an error under it the whole
    // width, so that the error wraps within the sidebar, and everything starts at the
    // leading edge.
    auto *detect = new DetectFromFCPButton(state, false);
    layout->addWidget(detect, 0, Qt::AlignHCenter);
    const auto place = [layout, detect] {
        layout->setAlignment(detect, detect->showsError() ? Qt::Alignment() : Qt::AlignHCenter);
    };
    connect(&state, &AppState::lastLibraryDetectionErrorChanged, this, place);
    // An error may already stand, from another main window's sidebar.
    place();
    layout->addStretch(1);
}

} // namespace tandrel
