#include "host/views/main/ProjectStartTCView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/StyledLabel.h"
#include "host/views/common/WrappingLabel.h"
#include "host/views/main/ProjectStartTCText.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

namespace {

constexpr int sidePadding = 12;
constexpr int rowSpacing = 8;

} // namespace

ProjectStartTCView::ProjectStartTCView(AppState &state, QWidget *parent)
    : QWidget(parent), state_(state), field_(new QLineEdit), hint_(styledLabel({}, corvaneMicro)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(sidePadding, 6, sidePadding, 6);
    layout->setSpacing(4);

    auto *row = new QHBoxLayout;
    row->setSpacing(rowSpacing);
    symbol_ = new CorvaneSymbolView(QStringLiteral("timeline.selection"), 13);
    corvaneForeground(symbol_, Color::corvaneTextSecondary());
    row->addWidget(symbol_, 0, Qt::AlignVCenter);
    label_ = new WrappingLabel(QString::fromUtf8(ProjectStartTCText::label));
    corvaneCaption(label_);
    // Never wider than its text (fitLabel).
    label_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    row->addWidget(label_, 0, Qt::AlignVCenter);

    QFont monospaced = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    monospaced.setPointSizeF(fontPointSize(12));
    field_->setFont(monospaced);
    field_->setFixedWidth(fieldWidth);
    // A rounded, bordered field.
    field_->setStyleSheet(
        QStringLiteral("QLineEdit { background: %1; border: 1px solid %2; border-radius: 5px;"
                       " padding: 2px 5px; }"
                       "QLineEdit:focus { border-color: %3; }")
            .arg(Color::corvaneCardFill().name(QColor::HexArgb),
                 withOpacity(Color::white(), 0.16).name(QColor::HexArgb),
                 Color::corvaneAccent().name(QColor::HexArgb)));
    field_->setAccessibleName(QString::fromUtf8(ProjectStartTCText::label));
    row->addWidget(field_, 0, Qt::AlignVCenter);
    row->addStretch(1);
    layout->addLayout(row);

    hint_->setWordWrap(true);
    layout->addWidget(hint_);

    // Only the user's edits are written: a text set from the state object emits no textEdited.
    connect(field_, &QLineEdit::textEdited, this,
            [this](const QString &text) { state_.setProjectStartTimecode(text.toStdString()); });
    for (const auto changed :
         {&AppState::projectStartTimecodeChanged, &AppState::detectedProjectStartTimecodeChanged,
          &AppState::activeTimelineIDChanged}) {
        connect(&state, changed, this, &ProjectStartTCView::refresh);
    }
    refresh();
    fitLabel();
}

void ProjectStartTCView::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    fitLabel();
}

void ProjectStartTCView::fitLabel() {
    // What the row leaves the label beside the symbol and the field.
    const int room =
        width() - 2 * sidePadding - symbol_->sizeHint().width() - fieldWidth - 2 * rowSpacing;
    label_->setMaximumWidth(label_->fittedWidth(std::max(room, 1)));
}

void ProjectStartTCView::refresh() {
    const QString stored = QString::fromStdString(state_.projectStartTimecode());
    // The field already holds what the user typed; setting it again would move the cursor.
    if (field_->text() != stored) {
        field_->setText(stored);
    }
    field_->setPlaceholderText(QString::fromStdString(
        ProjectStartTCText::placeholder(state_.detectedProjectStartTimecode())));
    hint_->setText(QString::fromStdString(ProjectStartTCText::hint(
        state_.projectStartTimecode(), state_.detectedProjectStartTimecode(),
        state_.activeTimelineID())));
}

} // namespace tandrel
