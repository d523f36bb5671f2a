#include "host/views/validation/ValidationView.h"

#include "core/validation/ReportTexts.h"
#include "designkit/Color.h"
#include "designkit/CorvaneDivider.h"
#include "designkit/CorvaneScrollArea.h"
#include "host/state/AppState.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/common/WrappingLabel.h"
#include "host/views/validation/ReportDetails.h"
#include "host/views/validation/ReportSummary.h"
#include "host/views/validation/SymbolLabel.h"
#include "host/views/validation/ValidationDropZone.h"
#include "host/views/validation/ValidationHandover.h"
#include "host/views/validation/ValidationViewHeaderBar.h"
#include "host/views/validation/ValidationViewNoTimelineNotice.h"

#include <QShowEvent>
#include <QVBoxLayout>

namespace tandrel {

using corvane::Color;
using corvane::FontTextStyle;

ValidationView::ValidationView(AppState &state, ValidationRunController::RunFunction run,
                               ValidationFileChooser::Choose chooseFile, QWidget *parent)
    : QWidget(parent), state_(state), chooseFile_(std::move(chooseFile)),
      controller_(new ValidationRunController(std::move(run), this)),
      header_(new HeaderBar(state.activeTimelineName())), notice_(new NoTimelineNotice),
      dropZone_(
          new ValidationDropZone(ValidationDropZone::windowLook(),
                                 {.prompt = qtText(ReportTexts::windowDropPrompt),
                                  .onChoose = [this] { this->chooseFile(); },
                                  .onDrop = [this](const QMimeData &data) { handleDrop(data); }})),
      error_(new SymbolLabel(QStringLiteral("exclamationmark.triangle.fill"), {},
                             textStyleFont(FontTextStyle::caption), Color::red())),
      content_(new QVBoxLayout) {
    setObjectName(QStringLiteral("validationView"));
    setMinimumSize(minimumContentSize);
    error_->setObjectName(QStringLiteral("error"));

    auto *page = new QWidget;
    page->setLayout(content_);
    content_->setContentsMargins(defaultPadding, defaultPadding, defaultPadding, defaultPadding);
    content_->setSpacing(12);
    content_->addWidget(notice_);
    content_->addWidget(dropZone_);
    content_->addWidget(error_);
    // The report's views go here, above the stretch that keeps everything at the top.
    content_->addStretch(1);

    auto *scroll = new corvane::CorvaneScrollArea(page);
    scroll->setObjectName(QStringLiteral("scroll"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header_);
    // The header's divider runs from edge to edge.
    layout->addWidget(new corvane::CorvaneDivider(0));
    layout->addWidget(scroll, 1);

    connect(controller_, &ValidationRunController::changed, this, &ValidationView::refresh);
    for (const auto changed :
         {&AppState::activeTimelineIDChanged, &AppState::availableTimelinesChanged}) {
        connect(&state_, changed, this, &ValidationView::refresh);
    }
    connect(&ValidationHandover::of(state_), &ValidationHandover::offered, this, [this] {
        if (isVisible()) {
            takeHandover();
        }
    });
    // A pending export is taken while the view is shown, as soon as there is a timeline to
    // check it against.
    for (const auto changed :
         {&AppState::pendingXMLDropURLChanged, &AppState::activeTimelineIDChanged}) {
        connect(&state_, changed, this, [this] {
            if (isVisible()) {
                controller_->takePendingDrop(state_);
            }
        });
    }
    refresh();
}

void ValidationView::run(const std::filesystem::path &fcpxml) {
    controller_->run(fcpxml);
}

void ValidationView::chooseFile() {
    if (const auto chosen = chooseFile_(this)) {
        run(*chosen);
    }
}

bool ValidationView::handleDrop(const QMimeData &data) {
    return controller_->handleDrop(data);
}

void ValidationView::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        // The panel's check first: an export the editor panel left is newer than it.
        takeHandover();
        controller_->takePendingDrop(state_);
    }
}

void ValidationView::takeHandover() {
    if (std::optional<ValidationRunController::Handover> handover =
            ValidationHandover::of(state_).take()) {
        controller_->adopt(*handover);
    }
}

void ValidationView::refresh() {
    const ValidationRuns::State runs = controller_->state();
    const bool hasTimeline = state_.activeTimelineID().has_value();
    const std::optional<std::string> timelineName = state_.activeTimelineName();

    header_->setActiveTimelineName(timelineName);
    notice_->setVisible(!hasTimeline);
    dropZone_->setVisible(hasTimeline);
    dropZone_->setFields(runs.loadedFileName, runs.isRunning);
    error_->label()->setText(QString::fromStdString(runs.errorMessage.value_or(std::string())));
    error_->setVisible(hasTimeline && runs.errorMessage.has_value());

    // The report's views are made anew for another report, and the summary for another name.
    if (runs.report != shownReport_ || (runs.report && timelineName != shownTimelineName_)) {
        delete summary_;
        summary_ = nullptr;
        if (runs.report != shownReport_) {
            delete details_;
            details_ = nullptr;
        }
        // Right under the error line.
        const int at = content_->indexOf(error_) + 1;
        if (runs.report) {
            summary_ = new ReportSummary(*runs.report, timelineName);
            summary_->setObjectName(QStringLiteral("reportSummary"));
            content_->insertWidget(at, summary_);
            if (!details_) {
                details_ = new ReportDetails(*runs.report, displayCap);
                details_->setObjectName(QStringLiteral("reportDetails"));
                content_->insertWidget(at + 1, details_);
            }
        }
        shownReport_ = runs.report;
        shownTimelineName_ = timelineName;
    }
    for (QWidget *view : {static_cast<QWidget *>(summary_), static_cast<QWidget *>(details_)}) {
        if (view) {
            view->setVisible(hasTimeline);
        }
    }
}

} // namespace tandrel
