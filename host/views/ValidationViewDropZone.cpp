#include "host/views/ValidationViewDropZone.h"

#include "core/validation/ReportTexts.h"
#include "designkit/Color.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/Palette.h"
#include "host/views/DashedOutline.h"
#include "host/views/DropZoneStatus.h"
#include "host/views/PlatformStyle.h"

#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QVBoxLayout>

namespace tandrel {

using corvane::Color;
using corvane::FontTextStyle;

ValidationView::DropZone::DropZone(Config config, QWidget *parent)
    : QWidget(parent), onDrop_(std::move(config.onDrop)),
      choose_(new corvane::CorvaneButton(qtText(ReportTexts::chooseButton),
                                         corvane::CorvaneButtonStyle{true})),
      status_(new DropZoneStatus(
          {textStyleFont(FontTextStyle::caption), Color::corvaneTextSecondary()},
          {textStyleFont(FontTextStyle::caption2), Color::corvaneTextTertiary()})) {
    setObjectName(QStringLiteral("dropZone"));
    setAcceptDrops(true);

    auto *symbol = new corvane::CorvaneSymbolView(QStringLiteral("arrow.down.doc"), 28);
    corvane::corvaneForeground(symbol, Color::corvaneTextSecondary());
    auto *prompt =
        styledLabel(qtText(ReportTexts::windowDropPrompt), textStyleFont(FontTextStyle::caption),
                    Color::corvaneTextSecondary());
    prompt->setObjectName(QStringLiteral("prompt"));
    choose_->setObjectName(QStringLiteral("choose"));
    connect(choose_, &QAbstractButton::clicked, this,
            [onChoose = std::move(config.onChoose)] { onChoose(); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(defaultPadding, 20, defaultPadding, 20);
    layout->setSpacing(8);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    layout->addWidget(prompt, 0, Qt::AlignHCenter);
    layout->addWidget(choose_, 0, Qt::AlignHCenter);
    layout->addWidget(status_);
    setFields(config.loadedFileName, config.isRunning);
}

void ValidationView::DropZone::setFields(const std::optional<std::string> &loadedFileName,
                                         bool isRunning) {
    choose_->setEnabled(!isRunning);
    status_->setFields(loadedFileName, isRunning);
}

void ValidationView::DropZone::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    strokeDashedRoundedInside(painter, rect(), 10,
                              corvane::withOpacity(Color::corvaneTextSecondary(), 0.4), 1.5, 6);
}

void ValidationView::DropZone::dragEnterEvent(QDragEnterEvent *event) {
    if (ValidationRunController::offersFiles(*event->mimeData())) {
        event->acceptProposedAction();
    }
}

void ValidationView::DropZone::dragMoveEvent(QDragMoveEvent *event) {
    if (ValidationRunController::offersFiles(*event->mimeData())) {
        event->acceptProposedAction();
    }
}

void ValidationView::DropZone::dropEvent(QDropEvent *event) {
    event->acceptProposedAction();
    onDrop_(*event->mimeData());
}

} // namespace tandrel
