#include "host/views/validation/ValidationViewNoTimelineNotice.h"

#include "core/validation/ReportTexts.h"
#include "designkit/Color.h"
#include "designkit/Painting.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/common/WrappingLabel.h"
#include "host/views/validation/SymbolLabel.h"

#include <QPainter>
#include <QVBoxLayout>

namespace tandrel {

using corvane::Color;
using corvane::FontTextStyle;

ValidationView::NoTimelineNotice::NoTimelineNotice(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("noTimelineNotice"));
    auto *title =
        new SymbolLabel(QStringLiteral("film"), qtText(ReportTexts::noTimelineTitle),
                        textStyleFont(FontTextStyle::body), Color::corvaneTextSecondary());
    auto *hint = wrappingLabel(qtText(ReportTexts::noTimelineHint),
                               textStyleFont(FontTextStyle::caption), Color::corvaneTextTertiary());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(defaultPadding, defaultPadding, defaultPadding, defaultPadding);
    layout->setSpacing(6);
    layout->addWidget(title);
    layout->addWidget(hint);
}

void ValidationView::NoTimelineNotice::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    corvane::fillRounded(painter, rect(), 8,
                         corvane::withOpacity(Color::corvaneTextSecondary(), 0.07));
}

} // namespace tandrel
