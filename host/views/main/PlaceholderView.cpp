#include "host/views/main/PlaceholderView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Palette.h"
#include "host/views/common/StyledLabel.h"

#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

PlaceholderView::PlaceholderView(const QString &symbol, const QString &title, const QString &note,
                                 QWidget *parent)
    : QWidget(parent), title_(title), actions_(new QVBoxLayout) {
    setObjectName(title);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(8);
    layout->addStretch(1);
    auto *icon = new CorvaneSymbolView(symbol, 32);
    corvaneForeground(icon, Color::corvaneTextTertiary());
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    auto *heading = styledLabel(title, corvaneHeadline);
    heading->setAlignment(Qt::AlignCenter);
    corvaneForeground(heading, Color::corvaneTextSecondary());
    layout->addWidget(heading);
    auto *line = styledLabel(note, corvaneMicro);
    line->setAlignment(Qt::AlignCenter);
    line->setWordWrap(true);
    layout->addWidget(line);
    actions_->setSpacing(6);
    actions_->setContentsMargins(0, 8, 0, 0);
    layout->addLayout(actions_);
    layout->addStretch(1);
}

} // namespace tandrel
