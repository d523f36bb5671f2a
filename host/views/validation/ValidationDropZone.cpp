#include "host/views/validation/ValidationDropZone.h"

#include "core/validation/ReportTexts.h"
#include "designkit/Color.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Palette.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/validation/DashedOutline.h"
#include "host/views/validation/ValidationRunController.h"

#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QVBoxLayout>

namespace tandrel {

using corvane::Color;
using corvane::CorvaneTextStyle;
using corvane::FontTextStyle;

ValidationDropZone::Look ValidationDropZone::windowLook() {
    return {
        .symbolSide = 28,
        .symbolColour = Color::corvaneTextSecondary(),
        .prompt = {textStyleFont(FontTextStyle::caption), Color::corvaneTextSecondary()},
        .prominentButton = true,
        .margins = {defaultPadding, 20, defaultPadding, 20},
        .spacing = 8,
        .cornerRadius = 10,
        .outline = corvane::withOpacity(Color::corvaneTextSecondary(), 0.4),
        .dash = 6,
        .progress = {textStyleFont(FontTextStyle::caption), Color::corvaneTextSecondary()},
        .fileName = {textStyleFont(FontTextStyle::caption2), Color::corvaneTextTertiary()},
    };
}

ValidationDropZone::Look ValidationDropZone::tileLook() {
    const CorvaneTextStyle micro(CorvaneTextStyle::micro);
    const DropZoneStatus::Look microLook{micro.font(), *micro.foreground()};
    return {
        .symbolSide = 20,
        .symbolColour = Color::corvaneTextTertiary(),
        .prompt = microLook,
        .prominentButton = false,
        .margins = {10, 14, 10, 14},
        .spacing = 6,
        .cornerRadius = 8,
        .outline = corvane::withOpacity(Color::corvaneTextTertiary(), 0.5),
        .dash = 5,
        .progress = microLook,
        .fileName = microLook,
    };
}

ValidationDropZone::ValidationDropZone(const Look &look, Config config, QWidget *parent)
    : QWidget(parent), cornerRadius_(look.cornerRadius), outline_(look.outline), dash_(look.dash),
      onDrop_(std::move(config.onDrop)),
      choose_(new corvane::CorvaneButton(qtText(ReportTexts::chooseButton),
                                         corvane::CorvaneButtonStyle{look.prominentButton})),
      status_(new DropZoneStatus(look.progress, look.fileName)) {
    setObjectName(QStringLiteral("dropZone"));
    setAcceptDrops(static_cast<bool>(onDrop_));

    auto *symbol =
        new corvane::CorvaneSymbolView(QStringLiteral("arrow.down.doc"), look.symbolSide);
    corvane::corvaneForeground(symbol, look.symbolColour);
    auto *prompt = styledLabel(config.prompt, look.prompt.font, look.prompt.colour);
    prompt->setObjectName(QStringLiteral("prompt"));
    choose_->setObjectName(QStringLiteral("choose"));
    connect(choose_, &QAbstractButton::clicked, this,
            [onChoose = std::move(config.onChoose)] { onChoose(); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(look.margins);
    layout->setSpacing(look.spacing);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    layout->addWidget(prompt, 0, Qt::AlignHCenter);
    layout->addWidget(choose_, 0, Qt::AlignHCenter);
    layout->addWidget(status_);
    setFields(std::nullopt, false);
}

void ValidationDropZone::setFields(const std::optional<std::string> &loadedFileName,
                                   bool isRunning) {
    choose_->setEnabled(!isRunning);
    status_->setFields(loadedFileName, isRunning);
}

void ValidationDropZone::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    strokeDashedRoundedInside(painter, rect(), cornerRadius_, outline_, 1.5, dash_);
}

void ValidationDropZone::dragEnterEvent(QDragEnterEvent *event) {
    ValidationRunController::acceptFileDrag(*event);
}

void ValidationDropZone::dragMoveEvent(QDragMoveEvent *event) {
    ValidationRunController::acceptFileDrag(*event);
}

void ValidationDropZone::dropEvent(QDropEvent *event) {
    event->acceptProposedAction();
    onDrop_(*event->mimeData());
}

} // namespace tandrel
