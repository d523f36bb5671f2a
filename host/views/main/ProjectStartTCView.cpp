#include "host/views/main/ProjectStartTCView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/StyledLabel.h"
#include "host/views/main/ProjectStartTCText.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

ProjectStartTCView::ProjectStartTCView(AppState &state, QWidget *parent)
    : QWidget(parent), state_(state), field_(new QLineEdit), hint_(styledLabel({}, corvaneMicro)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 6, 12, 6);
    layout->setSpacing(4);

    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    auto *symbol = new CorvaneSymbolView(QStringLiteral("timeline.selection"), 13);
    corvaneForeground(symbol, Color::corvaneTextSecondary());
    row->addWidget(symbol, 0, Qt::AlignVCenter);
    auto *label = styledLabel(QString::fromUtf8(ProjectStartTCText::label), corvaneCaption);
    // In a narrow sidebar the label takes a second line rather than pushing the field out.
    label->setWordWrap(true);
    row->addWidget(label, 1, Qt::AlignVCenter);

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
