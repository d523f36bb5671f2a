#include "host/views/validation/ValidationTileContent.h"

#include <QPointer>

#include "core/validation/ReportTexts.h"
#include "designkit/Color.h"
#include "designkit/CorvaneScrollArea.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/common/StyledLabel.h"
#include "host/views/common/WrappingLabel.h"
#include "host/views/validation/ValidationDropZone.h"
#include "host/views/validation/ValidationHandover.h"

#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QVBoxLayout>

namespace tandrel {

namespace {

using corvane::Color;
using corvane::CorvaneFontWeight;
using corvane::CorvaneTextStyle;

// The verdict panel's box: green or red, faint.
class SummaryPanel : public QWidget {
public:
    explicit SummaryPanel(bool passed) : tint_(passed ? Color::green() : Color::red()) {}

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        corvane::fillRounded(painter, rect(), 8, corvane::withOpacity(tint_, 0.1));
    }

private:
    QColor tint_;
};

} // namespace

ValidationTileContent::ValidationTileContent(AppState &state,
                                             ValidationRunController::RunFunction run,
                                             ValidationFileChooser::ChooseLater chooseFile,
                                             QWidget *parent)
    : QWidget(parent), state_(state), chooseFile_(std::move(chooseFile)),
      controller_(new ValidationRunController(std::move(run), this)),
      noTimeline_(new WrappingLabel(qtText(ReportTexts::tileNoTimeline))),
      dropZone_(new ValidationDropZone(ValidationDropZone::tileLook(),
                                       {.prompt = qtText(ReportTexts::tileDropPrompt),
                                        .onChoose = [this] { this->chooseFile(); },
                                        .onDrop = {}})),
      error_(new WrappingLabel) {
    setObjectName(QStringLiteral("validationTile"));
    setAcceptDrops(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    noTimeline_->setObjectName(QStringLiteral("noTimeline"));
    corvane::corvaneMicro(noTimeline_);
    error_->setObjectName(QStringLiteral("error"));
    error_->setFont(CorvaneTextStyle(CorvaneTextStyle::micro).font());
    corvane::corvaneForeground(error_, Color::red());

    // The rows stand on a page that scrolls when the panel is shorter than they are: squeezed
    // into less height, they would be drawn over each other. The scroll view asks the panel
    // for the rows' height at its width, again whenever they change, and gives way to a line.
    auto *page = new QWidget;
    rows_ = new QVBoxLayout(page);
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(10);
    rows_->addWidget(noTimeline_);
    rows_->addWidget(dropZone_);
    rows_->addWidget(error_);
    // The verdict goes here, above the stretch that keeps the rows at the top.
    rows_->addStretch(1);
    // The panel shows through.
    auto *scroll = new corvane::CorvaneScrollArea(page);
    scroll->setObjectName(QStringLiteral("scroll"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    connect(controller_, &ValidationRunController::changed, this, &ValidationTileContent::refresh);
    connect(&state_, &AppState::activeTimelineIDChanged, this, &ValidationTileContent::refresh);
    refresh();
}

void ValidationTileContent::run(const std::filesystem::path &fcpxml) {
    controller_->run(fcpxml);
}

void ValidationTileContent::chooseFile() {
    if (!chooseFile_) {
        return;
    }
    // The panel may close while the chooser is open: the answer then goes nowhere.
    chooseFile_(
        this, [tile = QPointer<ValidationTileContent>(this)](const std::filesystem::path &chosen) {
            if (tile) {
                tile->run(chosen);
            }
        });
}

bool ValidationTileContent::handleDrop(const QMimeData &data) {
    return controller_->handleDrop(data);
}

void ValidationTileContent::handOver() {
    if (std::optional<ValidationRunController::Handover> handover = controller_->handover()) {
        ValidationHandover::of(state_).offer(std::move(*handover));
    }
}

void ValidationTileContent::dragEnterEvent(QDragEnterEvent *event) {
    ValidationRunController::acceptFileDrag(*event);
}

void ValidationTileContent::dragMoveEvent(QDragMoveEvent *event) {
    ValidationRunController::acceptFileDrag(*event);
}

void ValidationTileContent::dropEvent(QDropEvent *event) {
    event->acceptProposedAction();
    handleDrop(*event->mimeData());
}

QWidget *ValidationTileContent::factRow(const QString &label, const QString &value) {
    auto *row = new QWidget;
    row->setObjectName(QStringLiteral("fact"));
    auto *name = styledLabel(label, corvane::corvaneMicro);
    name->setObjectName(QStringLiteral("factLabel"));
    auto *shown =
        styledLabel(value, corvane::corvaneFont(12, CorvaneFontWeight::medium), Color::primary());
    shown->setObjectName(QStringLiteral("factValue"));
    auto *layout = new QVBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(name);
    layout->addWidget(shown);
    return row;
}

QWidget *ValidationTileContent::summary(const TimelineValidator::ValidationReport &report) {
    const bool passed = report.passed();
    const QColor colour = passed ? Color::green() : Color::red();
    auto *panel = new SummaryPanel(passed);
    panel->setObjectName(QStringLiteral("summary"));

    auto *symbol = new corvane::CorvaneSymbolView(passed ? QStringLiteral("checkmark.circle.fill")
                                                         : QStringLiteral("xmark.octagon.fill"),
                                                  13);
    corvane::corvaneForeground(symbol, colour);
    auto *verdict = styledLabel(qtText(ReportTexts::verdict(report)),
                                corvane::corvaneFont(13, CorvaneFontWeight::demiBold), colour);
    verdict->setObjectName(QStringLiteral("verdict"));
    auto *verdictRow = new QHBoxLayout;
    verdictRow->setSpacing(6);
    verdictRow->addWidget(symbol, 0, Qt::AlignVCenter);
    verdictRow->addWidget(verdict, 0, Qt::AlignVCenter);
    verdictRow->addStretch(1);

    auto *summaryLine = new WrappingLabel(QString::fromStdString(report.summaryLine()));
    summaryLine->setObjectName(QStringLiteral("summaryLine"));
    corvane::corvaneMicro(summaryLine);

    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(6);
    layout->addLayout(verdictRow);
    layout->addWidget(summaryLine);
    for (const ReportTexts::Fact &fact : ReportTexts::tileFacts(report)) {
        layout->addWidget(factRow(qtText(fact.label), QString::fromStdString(fact.value)));
    }
    return panel;
}

void ValidationTileContent::refresh() {
    const ValidationRuns::State runs = controller_->state();
    const bool hasTimeline = state_.activeTimelineID().has_value();
    noTimeline_->setVisible(!hasTimeline);
    dropZone_->setVisible(hasTimeline);
    dropZone_->setFields(runs.loadedFileName, runs.isRunning);
    error_->setText(QString::fromStdString(runs.errorMessage.value_or(std::string())));
    error_->setVisible(hasTimeline && runs.errorMessage.has_value());
    if (runs.report != shownReport_) {
        delete summary_;
        summary_ = runs.report ? summary(*runs.report) : nullptr;
        if (summary_) {
            rows_->insertWidget(rows_->indexOf(error_) + 1, summary_);
        }
        shownReport_ = runs.report;
    }
    if (summary_) {
        summary_->setVisible(hasTimeline);
    }
}

} // namespace tandrel
