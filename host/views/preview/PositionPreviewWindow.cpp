#include "host/views/preview/PositionPreviewWindow.h"

#include "designkit/Color.h"
#include "designkit/CorvaneDivider.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/common/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tandrel {

namespace {

// The default padding around the window's parts.
constexpr int padding = 16;

} // namespace

PositionPreviewWindow::PositionPreviewWindow(AppState &state, QWidget *parent)
    : PositionPreviewWindow(state, PositionPreviewCanvas::Options{}, parent) {}

PositionPreviewWindow::PositionPreviewWindow(AppState &state,
                                             PositionPreviewCanvas::Options options,
                                             QWidget *parent)
    : QWidget(parent), state_(state) {
    setMinimumSize(minimumContentSize);

    auto *noPreset = new QLabel(QStringLiteral("No preset selected."));
    noPreset->setFont(textStyleFont(corvane::FontTextStyle::body));
    corvane::corvaneForeground(noPreset, corvane::Color::corvaneTextSecondary());
    placeholder_ = new QWidget;
    auto *placeholderLayout = new QVBoxLayout(placeholder_);
    placeholderLayout->setContentsMargins(padding, padding, padding, padding);
    placeholderLayout->addWidget(noPreset, 0, Qt::AlignCenter);

    options.showGrid = false;
    options.snapToGrid = false;
    options.gridDivisions = 3;
    options.activeGuideX.reset();
    options.activeGuideY.reset();
    canvas_ = new PositionPreviewCanvas(
        state_, [&state] { return state.activePresetIndex(); },
        [&state](const Uuid &id) { state.removeElement(id); }, std::move(options));

    title_ = new ElidedLabel;
    title_->setFont(textStyleFont(corvane::FontTextStyle::headline));
    // As wide as its text, and no wider than the row: then cut with "…".
    title_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    auto *titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(padding, padding, padding, padding);
    titleRow->addWidget(title_, 1);
    titleRow->addStretch(0);
    // From edge to edge, under the whole title row.
    auto *divider = new corvane::CorvaneDivider(0);

    content_ = new QWidget;
    auto *column = new QVBoxLayout(content_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(titleRow);
    column->addWidget(divider);
    auto *canvasBox = new QVBoxLayout;
    canvasBox->setContentsMargins(padding, padding, padding, padding);
    canvasBox->addWidget(canvas_);
    column->addLayout(canvasBox, 1);

    pages_ = new QStackedLayout(this);
    pages_->addWidget(placeholder_);
    pages_->addWidget(content_);

    for (void (AppState::*changed)() :
         {&AppState::presetsChanged, &AppState::activePresetIDChanged}) {
        connect(&state_, changed, this, &PositionPreviewWindow::refresh);
    }
    refresh();
}

QString PositionPreviewWindow::title() const {
    return title_->text();
}

bool PositionPreviewWindow::showsPlaceholder() const {
    return pages_->currentWidget() == placeholder_;
}

void PositionPreviewWindow::refresh() {
    const std::optional<std::size_t> index = state_.activePresetIndex();
    if (!index) {
        pages_->setCurrentWidget(placeholder_);
        return;
    }
    // A preset's name may come from a file someone else wrote.
    title_->setText(QStringLiteral("Position Preview — ") +
                    shownText(state_.presets()[*index].name));
    pages_->setCurrentWidget(content_);
}

} // namespace tandrel
