#include "host/views/preview/PreviewChipView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneSymbols.h"
#include "designkit/Palette.h"
#include "host/views/preview/ChipFont.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tandrel {

namespace {

// The close button's symbol beside text of this size, and the centring symbols'.
constexpr double closeSymbolSize = 13;
constexpr double toolbarSymbolSize = 11;

QColor colour(double red, double green, double blue, double opacity) {
    const auto unit = [](double value) { return std::clamp(value, 0.0, 1.0); };
    return QColor::fromRgbF(static_cast<float>(unit(red)), static_cast<float>(unit(green)),
                            static_cast<float>(unit(blue)), static_cast<float>(unit(opacity)));
}

// "xmark.circle.fill": the white mark on a red disc.
class RemoveButton : public QAbstractButton {
public:
    explicit RemoveButton(QWidget *parent) : QAbstractButton(parent) {
        const int side =
            static_cast<int>(std::ceil(corvane::CorvaneSymbols::side(closeSymbolSize)));
        setFixedSize(side, side);
        setCursor(Qt::ArrowCursor);
        setAccessibleName(QStringLiteral("Remove Element"));
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        if (isDown()) {
            painter.setOpacity(0.5);
        }
        corvane::CorvaneSymbols::paint(painter, QRectF(rect()), QStringLiteral("xmark.circle.fill"),
                                       QFont::Normal, corvane::Color::white(),
                                       corvane::Color::red());
    }
};

// The two centring buttons on a dark rounded plate.
class CentringToolbar : public QWidget {
public:
    explicit CentringToolbar(QWidget *parent) : QWidget(parent) {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(3, 3, 3, 3);
        layout->setSpacing(4);
        horizontally = button(QStringLiteral("align.horizontal.center.fill"),
                              QStringLiteral("Center horizontally"));
        vertically = button(QStringLiteral("align.vertical.center.fill"),
                            QStringLiteral("Center vertically"));
        layout->addWidget(horizontally);
        layout->addWidget(vertically);
        adjustSize();
    }

    QAbstractButton *horizontally;
    QAbstractButton *vertically;

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 153));
        painter.drawRoundedRect(QRectF(rect()), 4, 4);
    }

private:
    QAbstractButton *button(const QString &symbol, const QString &help) {
        auto *button =
            new corvane::CorvaneSymbolButton(symbol, toolbarSymbolSize, QFont::Normal, this);
        corvane::corvaneForeground(button, corvane::Color::white());
        button->setCursor(Qt::ArrowCursor);
        button->setToolTip(help);
        button->setAccessibleName(help);
        return button;
    }
};

} // namespace

PreviewChipView::PreviewChipView(Callbacks callbacks, ChipLayout::TextMeasure measure,
                                 ModifierSource modifiers, QWidget *parent)
    : QWidget(parent), callbacks_(std::move(callbacks)), measure_(std::move(measure)),
      modifierSource_(std::move(modifiers)) {
    auto *toolbar = new CentringToolbar(this);
    toolbar_ = toolbar;
    centreHorizontally_ = toolbar->horizontally;
    centreVertically_ = toolbar->vertically;
    removeButton_ = new RemoveButton(this);
    toolbar_->raise();

    connect(centreHorizontally_, &QAbstractButton::clicked, this, [this] {
        const auto [dx, dy] =
            ChipLayout::centredHorizontally(inputs_.visibleRect, inputs_.element.posX, size_);
        callbacks_.onCommitPosition(dx, dy);
    });
    connect(centreVertically_, &QAbstractButton::clicked, this, [this] {
        const auto [dx, dy] =
            ChipLayout::centredVertically(inputs_.visibleRect, inputs_.element.posY, size_);
        callbacks_.onCommitPosition(dx, dy);
    });
    connect(removeButton_, &QAbstractButton::clicked, this, [this] { callbacks_.onRemove(); });
    setCursor(Qt::OpenHandCursor);
}

void PreviewChipView::setInputs(Inputs inputs) {
    inputs_ = std::move(inputs);
    lines_ = ChipLayout::displayLines(inputs_.element, inputs_.showStackedLayers);
    size_ = ChipLayout::chipSize(
        lines_, ChipLayout::fontPixelSize(inputs_.element.fontSize, inputs_.scale), measure_);
    relayout();
    update();
}

DragMath PreviewChipView::dragMath() const {
    return DragMath({
        .posX = inputs_.element.posX,
        .posY = inputs_.element.posY,
        .visibleRect = inputs_.visibleRect,
        .canvasRect = inputs_.canvasRect,
        .constrainToVisiblePicture = inputs_.constrainToVisiblePicture,
        .siblingPositions = inputs_.siblingPositions,
        .snapToGrid = inputs_.snapToGrid,
        .gridDivisions = inputs_.gridDivisions,
        .alignSnapPoints = inputs_.alignSnapPoints,
        .chipSize = size_,
    });
}

bool PreviewChipView::isDragInProgress() const {
    return dragging_ && !translation_.isNull();
}

DragModifiers PreviewChipView::modifiers() const {
    const Qt::KeyboardModifiers held = modifierSource_();
    return {held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::AltModifier)};
}

std::optional<DragMath::Result> PreviewChipView::resolvedDrag() const {
    if (!isDragInProgress()) {
        return std::nullopt;
    }
    return dragMath().resolvedPosition(translation_, modifiers());
}

QRectF PreviewChipView::boxInCanvas() const {
    QPointF topLeft =
        ChipLayout::topLeft(inputs_.visibleRect, inputs_.element.posX, inputs_.element.posY, size_);
    if (const std::optional<DragMath::Result> drag = resolvedDrag()) {
        topLeft += QPointF(drag->offset.width(), drag->offset.height());
    }
    return {topLeft, size_};
}

QRectF PreviewChipView::boxInWidget() const {
    return {QPointF(margin, margin), size_};
}

void PreviewChipView::relayout() {
    const QRectF box = boxInCanvas();
    const auto coordinate = [](double value) {
        // Far outside any canvas, yet inside int: a position beyond the frame stays drawable.
        return static_cast<int>(std::lround(std::clamp(value, -1e6, 1e6)));
    };
    setGeometry(coordinate(box.left()) - margin, coordinate(box.top()) - margin,
                static_cast<int>(size_.width()) + 2 * margin,
                static_cast<int>(size_.height()) + 2 * margin);

    const bool selected = inputs_.isSelected;
    toolbar_->move(0, 0);
    removeButton_->move(width() - removeButton_->width(), 0);
    toolbar_->setVisible(selected);
    removeButton_->setVisible(selected);

    // The selection outline reaches a point outside the box.
    QRegion mouseArea(boxInWidget().adjusted(-1, -1, 1, 1).toAlignedRect());
    if (selected) {
        mouseArea += toolbar_->geometry();
        mouseArea += removeButton_->geometry();
    }
    setMask(mouseArea);
}

void PreviewChipView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRectF box = boxInWidget();
    const BurnInElement &element = inputs_.element;
    if (element.showBackground) {
        painter.fillRect(box, colour(element.bgR, element.bgG, element.bgB, element.bgOpacity));
    }

    painter.setFont(ChipFont::font(ChipLayout::fontPixelSize(element.fontSize, inputs_.scale),
                                   QFont::Normal, *this));
    painter.setPen(colour(element.textR, element.textG, element.textB, element.textOpacity));
    const Qt::Alignment across =
        element.textAlignment == BurnInTextAlignment::center  ? Qt::AlignHCenter
        : element.textAlignment == BurnInTextAlignment::right ? Qt::AlignRight
                                                              : Qt::AlignLeft;
    const QRectF textArea = box.adjusted(4, 0, -4, 0);
    if (ChipLayout::isBlock(element, inputs_.showStackedLayers)) {
        QStringList lines;
        for (const std::string &line : lines_) {
            lines << QString::fromStdString(line);
        }
        painter.drawText(textArea, static_cast<int>(across | Qt::AlignVCenter), lines.join(u'\n'));
    } else {
        // One line: a label that runs longer ends in an ellipsis.
        QString text = QString::fromStdString(lines_.front());
        const qsizetype lineEnd = text.indexOf(u'\n');
        if (lineEnd >= 0) {
            text = text.left(lineEnd) + QChar(0x2026);
        }
        text = painter.fontMetrics().elidedText(text, Qt::ElideRight,
                                                static_cast<int>(textArea.width()));
        painter.drawText(textArea, static_cast<int>(across | Qt::AlignVCenter), text);
    }

    if (inputs_.isSelected) {
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(corvane::Color::corvaneAccent(), 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box, 2, 2);
    }
}

void PreviewChipView::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressedAt_ = event->globalPosition();
    dragging_ = false;
    translation_ = {};
}

void PreviewChipView::mouseMoveEvent(QMouseEvent *event) {
    if (!pressedAt_) {
        return;
    }
    const QPointF moved = event->globalPosition() - *pressedAt_;
    if (!dragging_ && std::hypot(moved.x(), moved.y()) < dragThreshold) {
        return;
    }
    dragging_ = true;
    translation_ = {moved.x(), moved.y()};
    setCursor(Qt::ClosedHandCursor);
    if (!hasSelectedThisDrag_) {
        hasSelectedThisDrag_ = true;
        // A selected chip dragged without Shift keeps the selection, which moves with it.
        const bool extend = modifiers().shift;
        if (extend || !inputs_.isSelected) {
            callbacks_.onSelect(extend);
        }
    }
    relayout();
    const std::optional<DragMath::Result> drag = resolvedDrag();
    reportGuides(drag ? drag->guideX : std::nullopt, drag ? drag->guideY : std::nullopt);
}

void PreviewChipView::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !pressedAt_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    pressedAt_.reset();
    if (!dragging_) {
        callbacks_.onSelect(modifiers().shift);
        return;
    }
    const DragMath::Result result = dragMath().resolvedPosition(translation_, modifiers());
    const double deltaX = result.posX - inputs_.element.posX;
    const double deltaY = result.posY - inputs_.element.posY;
    dragging_ = false;
    hasSelectedThisDrag_ = false;
    translation_ = {};
    setCursor(Qt::OpenHandCursor);
    relayout();
    callbacks_.onCommitPosition(deltaX, deltaY);
    reportGuides(std::nullopt, std::nullopt);
}

void PreviewChipView::hideEvent(QHideEvent *event) {
    cancelDrag();
    QWidget::hideEvent(event);
}

void PreviewChipView::cancelDrag() {
    pressedAt_.reset();
    dragging_ = false;
    hasSelectedThisDrag_ = false;
    translation_ = {};
    reportGuides(std::nullopt, std::nullopt);
}

void PreviewChipView::reportGuides(std::optional<double> guideX, std::optional<double> guideY) {
    if (guideX == guideX_ && guideY == guideY_) {
        return;
    }
    guideX_ = guideX;
    guideY_ = guideY;
    callbacks_.onGuideChange(guideX, guideY);
}

} // namespace tandrel
