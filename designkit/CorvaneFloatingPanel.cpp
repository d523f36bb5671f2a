#include "designkit/CorvaneFloatingPanel.h"

#include "designkit/Color.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneSectionHeader.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/FloatingPanelHeader.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace corvane {

namespace {

constexpr int padding = 12;
constexpr int headerBottom = 8;
constexpr int headerSpacing = 8;

} // namespace

CorvaneFloatingPanel::CorvaneFloatingPanel(Config config, QWidget *parent)
    : QWidget(parent), title_(new CorvaneSectionHeader(config.title)),
      content_(config.content != nullptr ? config.content : new QWidget) {
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(padding, padding, padding, headerBottom);
    header->setSpacing(headerSpacing);
    if (config.icon) {
        icon_ = new CorvaneSymbolView(*config.icon, 12, QFont::Medium);
        corvaneForeground(icon_, Color::corvaneTextSecondary());
        header->addWidget(icon_, 0, Qt::AlignVCenter);
    }
    header->addWidget(title_, 0, Qt::AlignVCenter);
    header->addStretch(1);
    for (const PanelHeaderButton &headerButton :
         FloatingPanelHeader::buttons(bool(config.onExpand), bool(config.onClose))) {
        auto *button = new CorvaneSymbolButton(headerButton.symbol, 11, QFont::DemiBold);
        corvaneForeground(button, Color::corvaneTextTertiary());
        corvaneTooltip(button, headerButton.tooltip, std::nullopt, Edge::bottom);
        const bool expands = headerButton.role == PanelHeaderButton::Role::expand;
        connect(button, &QAbstractButton::clicked, this,
                expands ? config.onExpand : config.onClose);
        (expands ? expand_ : close_) = button;
        header->addWidget(button, 0, Qt::AlignVCenter);
    }
    stack->addLayout(header);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(padding, 0, padding, padding);
    // Content keeps its own size at the top left, but takes the width or the height when it
    // expands that way (an aligned item never grows past its size hint).
    const QSizePolicy policy = content_->sizePolicy();
    Qt::Alignment alignment;
    if (!(policy.horizontalPolicy() & QSizePolicy::ExpandFlag)) {
        alignment |= Qt::AlignLeft;
    }
    if (!(policy.verticalPolicy() & QSizePolicy::ExpandFlag)) {
        alignment |= Qt::AlignTop;
    }
    body->addWidget(content_, 1, alignment);
    stack->addLayout(body, 1);

    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QString CorvaneFloatingPanel::title() const {
    return title_->text();
}

void CorvaneFloatingPanel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const double radius = CorvaneDesign::CornerRadius::panel;
    fillRounded(painter, rect(), radius, Color::corvaneCardFill());
    strokeRoundedInside(painter, rect(), radius, withOpacity(Color::white(), 0.06));
}

} // namespace corvane
