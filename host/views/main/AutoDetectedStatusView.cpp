#include "host/views/main/AutoDetectedStatusView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/QtText.h"
#include "host/views/common/StyledLabel.h"
#include "host/views/common/TextButton.h"
#include "host/views/main/TemplateGlyphView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tandrel {

using namespace corvane;

namespace {

// The card's own inset, and its distance from the sidebar's edges.
constexpr int padding = 12;
constexpr int margin = 12;

QColor libraryTint() {
    return QColor::fromRgbF(129 / 255.0, 52 / 255.0, 237 / 255.0);
}

} // namespace

AutoDetectedStatusView::AutoDetectedStatusView(const TimelineChoice &timeline, bool isBurningIn,
                                               std::function<void()> onShowManual, QWidget *parent)
    : QWidget(parent), timeline_(timeline) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin + padding, margin + padding, margin + padding,
                               margin + padding);
    layout->setSpacing(8);

    auto *timelineLine = new QHBoxLayout;
    timelineLine->setSpacing(6);
    timelineLine->addWidget(pathRow(QStringLiteral("FCPSequenceGlyph"), Color::corvaneAccent(),
                                    shownText(timeline.name), true),
                            1);
    // A snapshot that could not be written burns nothing in: the status line says why.
    if (isBurningIn) {
        auto *burning = styledLabel(QString::fromUtf8(burningInText), corvaneMicro);
        corvaneForeground(burning, Color::corvaneAccent());
        timelineLine->addWidget(burning, 0, Qt::AlignVCenter);
        burningIn_ = burning;
    }
    layout->addLayout(timelineLine);

    const std::pair<QString, const std::string &> placeLines[] = {
        {QStringLiteral("FCPLibraryGlyph"), timeline.library},
        {QStringLiteral("FCPEventGlyph"), timeline.eventName},
    };
    for (const auto &[glyph, text] : placeLines) {
        auto *row = pathRow(glyph, libraryTint(), shownText(text), false);
        row->setContentsMargins(10, 0, 0, 0);
        layout->addWidget(row);
    }

    auto *showAll = new TextButton(QString::fromUtf8(showAllLibrariesTitle));
    corvaneMicro(showAll);
    corvaneForeground(showAll, Color::corvaneTextSecondary());
    connect(showAll, &QAbstractButton::clicked, this,
            [onShowManual = std::move(onShowManual)] { onShowManual(); });
    layout->addWidget(showAll, 0, Qt::AlignLeft);
}

ElidedLabel *AutoDetectedStatusView::line(int index) const {
    return lines_.at(static_cast<size_t>(index));
}

QWidget *AutoDetectedStatusView::pathRow(const QString &glyph, const QColor &tint,
                                         const QString &text, bool isPrimary) {
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(new TemplateGlyphView(glyph, tint, isPrimary ? 15 : 11, isPrimary ? 16 : 13));
    auto *label = new ElidedLabel(text);
    if (isPrimary) {
        corvaneFont(label, 14, CorvaneFontWeight::demiBold);
        corvaneForeground(label, Color::primary());
    } else {
        corvaneFont(label, 11, CorvaneFontWeight::regular);
        corvaneForeground(label, Color::corvaneTextSecondary());
    }
    corvaneTooltip(label, text);
    layout->addWidget(label, 1);
    lines_.push_back(label);
    return row;
}

void AutoDetectedStatusView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    fillRounded(painter, QRectF(rect()).adjusted(margin, margin, -margin, -margin),
                CorvaneDesign::CornerRadius::card, Color::corvaneCardFill());
}

} // namespace tandrel
