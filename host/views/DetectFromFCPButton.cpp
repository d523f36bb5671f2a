#include "host/views/DetectFromFCPButton.h"

#include "designkit/Color.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/StyledLabel.h"

#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

DetectFromFCPButton::DetectFromFCPButton(AppState &state, bool compact, QWidget *parent)
    : QWidget(parent), state_(state), compact_(compact) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    QAbstractButton *button = nullptr;
    if (compact) {
        button = new CorvaneSymbolButton(QStringLiteral("wand.and.stars"), 13, QFont::Medium);
        corvaneForeground(button, Color::corvaneTextSecondary());
    } else {
        auto *labelled = new CorvaneButton(QString::fromUtf8(title));
        labelled->setSymbol(QStringLiteral("wand.and.stars"));
        button = labelled;
        error_ = styledLabel({}, corvaneMicro);
        static_cast<QLabel *>(error_)->setWordWrap(true);
    }
    button_ = button;
    layout->addWidget(button, 0, compact ? Qt::AlignCenter : Qt::AlignLeft);
    if (error_ != nullptr) {
        layout->addWidget(error_);
    }
    connect(button, &QAbstractButton::clicked, this, &DetectFromFCPButton::detect);
    connect(&state, &AppState::lastLibraryDetectionErrorChanged, this,
            &DetectFromFCPButton::showError);
    showError();
}

void DetectFromFCPButton::detect() {
    for (const auto &url : state_.detectOpenFCPLibraries()) {
        // The state object ignores a library it watches already.
        state_.addLibrary(url);
    }
}

void DetectFromFCPButton::showError() {
    const std::optional<std::string> &error = state_.lastLibraryDetectionError();
    if (compact_) {
        // The compact form tells its error on hover.
        corvaneTooltip(button_, error ? QString::fromStdString(*error) : QString::fromUtf8(title));
        button_->setAccessibleName(QString::fromUtf8(title));
        return;
    }
    static_cast<QLabel *>(error_)->setText(error ? QString::fromStdString(*error) : QString());
    error_->setVisible(error.has_value());
}

} // namespace tandrel
