#include "host/views/validation/ValidationViewHeaderBar.h"

#include "core/validation/ReportTexts.h"
#include "designkit/Color.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/Palette.h"
#include "host/views/common/PlatformStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tandrel {

using corvane::Color;
using corvane::FontTextStyle;

ValidationView::HeaderBar::HeaderBar(const std::optional<std::string> &activeTimelineName,
                                     QWidget *parent)
    : QWidget(parent), timeline_(styledLabel({}, textStyleFont(FontTextStyle::caption),
                                             Color::corvaneTextSecondary())) {
    setObjectName(QStringLiteral("headerBar"));
    auto *seal = new corvane::CorvaneSymbolView(QStringLiteral("checkmark.seal"), 20);
    corvane::corvaneForeground(seal, Color::corvaneAccent());
    auto *title = styledLabel(qtText(ReportTexts::windowTitle),
                              textStyleFont(FontTextStyle::headline), Color::primary());
    title->setObjectName(QStringLiteral("title"));
    timeline_->setObjectName(QStringLiteral("comparingTimeline"));

    auto *titles = new QVBoxLayout;
    titles->setSpacing(1);
    titles->addWidget(title);
    titles->addWidget(timeline_);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(defaultPadding, defaultPadding, defaultPadding, defaultPadding);
    layout->setSpacing(8);
    layout->addWidget(seal, 0, Qt::AlignVCenter);
    layout->addLayout(titles);
    layout->addStretch(1);
    setActiveTimelineName(activeTimelineName);
}

void ValidationView::HeaderBar::setActiveTimelineName(
    const std::optional<std::string> &activeTimelineName) {
    timeline_->setVisible(activeTimelineName.has_value());
    timeline_->setText(activeTimelineName ? QString::fromStdString(
                                                ReportTexts::comparingTimeline(*activeTimelineName))
                                          : QString());
}

} // namespace tandrel
