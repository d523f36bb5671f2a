#include "host/views/preview/PreviewChipView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneSymbols.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Palette.h"
#include "host/views/preview/ChipFont.h"

#include <QAbstractButton>
#include <QFontMetricsF>
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
    // Beside the chip, so that no later chip covers them.
    QWidget *layer = parent ? parent : this;
    removeButton_ = new RemoveButton(layer);
    auto *toolbar = new CentringToolbar(layer);
    toolbar_ = toolbar;
    centreHorizontally_ = toolbar->horizontally;
    centreVertically_ = toolbar->vertically;
    removeButton_->hide();
    toolbar_->hide();

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

PreviewChipView::~PreviewChipView() {
    delete toolbar_.data();
    delete removeButton_.data();
}

void PreviewChipView::setInputs(Inputs inputs) {
    inputs_ = std::move(inputs);
    lines_ = ChipLayout::displayLines(inputs_.element, inputs_.showStackedLayers);
    size_ = ChipLayout::chipSize(lines_, inputs_.element.fontSize, inputs_.scale, measure_);
    placed_ =
        ChipLayout::placedPosition(inputs_.canvasRect, inputs_.visibleRect, inputs_.element.posX,
                                   inputs_.element.posY, size_, inputs_.constrainToVisiblePicture);
    QStringList text;
    for (const std::string &line : lines_) {
        text << QString::fromStdString(line);
    }
    const bool small = inputs_.element.fontSize * inputs_.scale < legibleTextSize;
    corvane::corvaneTooltip(this, small ? text.join(u'\n') : QString(), std::nullopt,
                            corvane::Edge::bottom);
    setAccessibleName(text.join(u'\n'));
    relayout();
    update();
}

DragMath PreviewChipView::dragMath() const {
    return DragMath({
        .posX = placed_.first,
        .posY = placed_.second,
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
        ChipLayout::topLeft(inputs_.visibleRect, placed_.first, placed_.second, size_);
    if (const std::optional<DragMath::Result> drag = resolvedDrag()) {
        topLeft += QPointF(drag->offset.width(), drag->offset.height());
    }
    return {topLeft, size_};
}

QRectF PreviewChipView::boxInWidget() const {
    return boxInCanvas().translated(-QPointF(pos()));
}

void PreviewChipView::relayout() {
    const QRectF box = boxInCanvas();
    const auto coordinate = [](double value, double (*round)(double)) {
        // Far outside any canvas, yet inside int: a position beyond the frame stays drawable.
        return static_cast<int>(round(std::clamp(value, -1e6, 1e6)));
    };
    const int left = coordinate(box.left() - margin, std::floor);
    const int top = coordinate(box.top() - margin, std::floor);
    setGeometry(left, top, coordinate(box.right() + margin, std::ceil) - left,
                coordinate(box.bottom() + margin, std::ceil) - top);
    // As boxInWidget(), without resolving a drag in progress again.
    const QRectF inWidget = box.translated(-QPointF(pos()));

    // The selection outline reaches a point outside the box; a small box grips a little more.
    const QRectF grip = inWidget.adjusted(-1, -1, 1, 1);
    const double growX = std::max(0.0, minimumGrip - grip.width()) / 2;
    const double growY = std::max(0.0, minimumGrip - grip.height()) / 2;
    setMask(QRegion(grip.adjusted(-growX, -growY, growX, growY).toAlignedRect()));

    // The buttons stand by the box's top corners, clear of its text.
    const bool controlsShown = inputs_.isSelected && !isHidden();
    if (toolbar_ && removeButton_) {
        QWidget *layer = toolbar_->parentWidget();
        const ChipLayout::Controls at = ChipLayout::controlsPlacement(
            QRectF(mapTo(layer, inWidget.topLeft()), inWidget.size()), QSizeF(toolbar_->size()),
            QSizeF(removeButton_->size()), QRectF(layer->rect()));
        toolbar_->move(at.toolbar.toPoint());
        removeButton_->move(at.close.toPoint());
        toolbar_->setVisible(controlsShown);
        removeButton_->setVisible(controlsShown);
    }
}

void PreviewChipView::raiseControls() {
    if (removeButton_ && toolbar_) {
        removeButton_->raise();
        // Above the close button.
        toolbar_->raise();
    }
}

void PreviewChipView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRectF box = boxInWidget();
    const BurnInElement &element = inputs_.element;
    if (element.showBackground) {
        painter.fillRect(box, colour(element.bgR, element.bgG, element.bgB, element.bgOpacity));
    }

    // The text as the effect lays it out in frame pixels, scaled down with the box.
    const double scale = inputs_.scale;
    if (scale > 0 && element.fontSize > 0 && std::isfinite(element.fontSize)) {
        painter.save();
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(box.topLeft());
        painter.scale(scale, scale);
        const QFont font = ChipFont::font(element.fontSize, QFont::Normal, *this);
        painter.setFont(font);
        painter.setPen(colour(element.textR, element.textG, element.textB, element.textOpacity));
        const QFontMetricsF metrics(font, this);
        const double ascent = std::ceil(metrics.ascent());
        const double lineHeight = ascent + std::ceil(metrics.descent()) + ChipLayout::lineSpacing;
        const double textWidth = box.width() / scale - 2 * ChipLayout::padding;

        QStringList lines;
        if (ChipLayout::isBlock(element, inputs_.showStackedLayers)) {
            for (const std::string &line : lines_) {
                lines << QString::fromStdString(line).split(u'\n');
            }
        } else {
            // One line: a title that runs onto more ends in an ellipsis.
            QString text = QString::fromStdString(lines_.front());
            if (const qsizetype lineEnd = text.indexOf(u'\n'); lineEnd >= 0) {
                text = text.left(lineEnd) + QChar(0x2026);
            }
            lines << text;
        }
        double baseline = ChipLayout::padding + ascent;
        for (const QString &line : lines) {
            const double spare = textWidth - metrics.horizontalAdvance(line);
            const double indent = element.textAlignment == BurnInTextAlignment::center  ? spare / 2
                                  : element.textAlignment == BurnInTextAlignment::right ? spare
                                                                                        : 0;
            painter.drawText(QPointF(ChipLayout::padding + indent, baseline), line);
            baseline += lineHeight;
        }
        painter.restore();
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

void PreviewChipView::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    relayout();
}

void PreviewChipView::hideEvent(QHideEvent *event) {
    cancelDrag();
    // Hidden itself, not with its window: its buttons go too.
    if (isHidden()) {
        relayout();
    }
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
