#include "host/views/validation/DropZoneStatus.h"

#include "core/validation/ReportTexts.h"
#include "designkit/Palette.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/validation/ProgressSpinner.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tandrel {

DropZoneStatus::DropZoneStatus(const Look &progress, const Look &fileName, QWidget *parent)
    : QWidget(parent), progress_(new QWidget),
      fileName_(new ElidedLabel(QString(), Qt::ElideMiddle)) {
    progress_->setObjectName(QStringLiteral("progress"));
    // The spinner takes the row's colour.
    corvane::corvaneForeground(progress_, progress.colour);
    auto *comparing = styledLabel(qtText(ReportTexts::comparing), progress.font, progress.colour);
    comparing->setObjectName(QStringLiteral("comparing"));
    auto *progressRow = new QHBoxLayout(progress_);
    progressRow->setContentsMargins(0, 0, 0, 0);
    progressRow->setSpacing(6);
    progressRow->addWidget(new ProgressSpinner, 0, Qt::AlignVCenter);
    progressRow->addWidget(comparing, 0, Qt::AlignVCenter);

    fileName_->setObjectName(QStringLiteral("fileName"));
    fileName_->setFont(fileName.font);
    corvane::corvaneForeground(fileName_, fileName.colour);
    fileName_->setAlignment(Qt::AlignCenter);
    // As tall as the progress row it takes turns with, so the zone keeps its height.
    fileName_->setMinimumHeight(ProgressSpinner::side);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(progress_, 0, Qt::AlignHCenter);
    layout->addWidget(fileName_);
}

void DropZoneStatus::setFields(const std::optional<std::string> &loadedFileName, bool isRunning) {
    progress_->setVisible(isRunning);
    fileName_->setText(loadedFileName ? QString::fromStdString(*loadedFileName) : QString());
    fileName_->setVisible(!isRunning && loadedFileName.has_value());
    setVisible(isRunning || loadedFileName.has_value());
}

} // namespace tandrel
