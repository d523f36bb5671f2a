#include "host/views/preview/PreviewChipView.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneSymbols.h"
#include "designkit/Palette.h"
#include "designkit/TextElision.h"
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

// How far the dashed outline of the effect's box keeps off the chip's lines.
constexpr double outlineGap = 2;

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
                                 RenderBox::Measure renderMeasure, ModifierSource modifiers,
                                 QWidget *parent)
    : QWidget(parent), callbacks_(std::move(callbacks)), measure_(std::move(measure)),
      renderMeasure_(std::move(renderMeasure)), modifierSource_(std::move(modifiers)) {
    // Beside the chip, so that no later chip covers them.
    QWidget *layer = parent ? parent : this;
    removeButton_ = new RemoveButton(layer);
    auto *toolbar = new CentringToolbar(layer);
    toolbar_ = toolbar;
    centreHorizontally_ = toolbar->horizontally;
    centreVertically_ = toolbar->vertically;
    removeButton_->hide();
    toolbar_->hide();

    // The effect's box is what is centred, so that the text burns in centred.
    connect(centreHorizontally_, &QAbstractButton::clicked, this, [this] {
        const auto [dx, dy] =
            ChipLayout::centredHorizontally(inputs_.visibleRect, inputs_.element.posX, renderSize_);
        callbacks_.onCommitPosition(dx, dy);
    });
    connect(centreVertically_, &QAbstractButton::clicked, this, [this] {
        const auto [dx, dy] =
            ChipLayout::centredVertically(inputs_.visibleRect, inputs_.element.posY, renderSize_);
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
    const BurnInElement &element = inputs_.element;
    lines_ = ChipLayout::displayLines(element, inputs_.showStackedLayers);
    shownLines_ =
        ChipLayout::shownLines(lines_, ChipLayout::isBlock(element, inputs_.showStackedLayers));
    size_ = ChipLayout::chipSize(shownLines_, element.fontSize, inputs_.scale, measure_);
    renderText_ = RenderBox::text(element, inputs_.showStackedLayers);
    renderSize_ = RenderBox::size(renderText_, element.fontSize, inputs_.scale, renderMeasure_);
    placed_ =
        ChipLayout::placedPosition(inputs_.canvasRect, inputs_.visibleRect, element.posX,
                                   element.posY, renderSize_, inputs_.constrainToVisiblePicture);
    QStringList text;
    for (const std::string &line : lines_) {
        text << QString::fromStdString(line);
    }
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
        .chipSize = renderSize_,
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
        ChipLayout::topLeft(inputs_.visibleRect, placed_.first, placed_.second, renderSize_);
    if (const std::optional<DragMath::Result> drag = resolvedDrag()) {
        topLeft += QPointF(drag->offset.width(), drag->offset.height());
    }
    return {topLeft, renderSize_};
}

QRectF PreviewChipView::chipInCanvas() const {
    return chipFor(boxInCanvas());
}

QRectF PreviewChipView::chipFor(const QRectF &box) const {
    // Where the chip can be seen: its canvas.
    const QRectF bounds =
        parentWidget() != nullptr ? QRectF(parentWidget()->rect()) : QRectF(-1e6, -1e6, 2e6, 2e6);
    return ChipLayout::chipRect(box, size_, bounds);
}

void PreviewChipView::relayout() {
    const QRectF box = boxInCanvas();
    const QRectF chip = chipFor(box);
    const QRectF drawn = chip.united(box);
    const auto coordinate = [](double value, double (*round)(double)) {
        // Far outside any canvas, yet inside int: a position beyond the frame stays drawable.
        return static_cast<int>(round(std::clamp(value, -1e6, 1e6)));
    };
    const int left = coordinate(drawn.left() - margin, std::floor);
    const int top = coordinate(drawn.top() - margin, std::floor);
    setGeometry(left, top, coordinate(drawn.right() + margin, std::ceil) - left,
                coordinate(drawn.bottom() + margin, std::ceil) - top);
    const QPointF origin(pos());
    boxInWidget_ = box.translated(-origin);
    chipInWidget_ = chip.translated(-origin);
    const QRectF &chipInWidget = chipInWidget_;

    // The chip and its outline take the mouse; the effect's box too while it is outlined.
    QRegion grip(chipInWidget.adjusted(-1, -1, 1, 1).toAlignedRect());
    if (inputs_.isSelected) {
        grip += boxInWidget_.adjusted(-1, -1, 1, 1).toAlignedRect();
    }
    setMask(grip);

    // The buttons stand on the chip's top corners.
    const bool controlsShown = inputs_.isSelected && !isHidden();
    if (toolbar_ && removeButton_) {
        QWidget *layer = toolbar_->parentWidget();
        const ChipLayout::Controls at = ChipLayout::controlsPlacement(
            QRectF(mapTo(layer, chipInWidget.topLeft()), chipInWidget.size()),
            QSizeF(toolbar_->size()), QSizeF(removeButton_->size()), QRectF(layer->rect()),
            controlsKeepClear_);
        toolbar_->move(at.toolbar.toPoint());
        removeButton_->move(at.close.toPoint());
        toolbar_->setVisible(controlsShown);
        removeButton_->setVisible(controlsShown);
    }
    changed();
}

void PreviewChipView::setControlsKeepClear(std::vector<QRectF> otherTexts) {
    if (otherTexts != controlsKeepClear_) {
        controlsKeepClear_ = std::move(otherTexts);
        relayout();
    }
}

void PreviewChipView::raiseControls() {
    if (removeButton_ && toolbar_) {
        removeButton_->raise();
        // Above the close button.
        toolbar_->raise();
    }
}

PreviewChipView::DrawnText PreviewChipView::drawnText() const {
    const QRectF &chip = chipInWidget_;
    const BurnInElement &element = inputs_.element;
    DrawnText drawn;
    drawn.font =
        ChipFont::font(ChipLayout::textSize(element.fontSize, inputs_.scale), QFont::Normal, *this);
    const QFontMetricsF metrics(drawn.font, this);
    const double ascent = std::ceil(metrics.ascent());
    const double lineHeight = ascent + std::ceil(metrics.descent());
    const auto count = static_cast<double>(shownLines_.size());
    const double textHeight = count * lineHeight + (count - 1) * ChipLayout::lineSpacing;
    // A chip narrower than its text (one wider than the canvas) cuts its lines short.
    const double inner = chip.width() - 2 * ChipLayout::textInset;
    std::vector<QString> lines;
    double widest = 0;
    for (const std::string &line : shownLines_) {
        lines.push_back(
            corvane::TextElision::elidedRight(metrics, QString::fromStdString(line), inner));
        widest = std::max(widest, metrics.horizontalAdvance(lines.back()));
    }
    // Inset 4 points across, aligned as the element aligns it, in the middle of the chip's
    // height.
    drawn.rect =
        ChipLayout::textRect(chip, QSizeF(widest, textHeight), element.textAlignment);
    const double shift = element.textAlignment == BurnInTextAlignment::center  ? 0.5
                         : element.textAlignment == BurnInTextAlignment::right ? 1.0
                                                                               : 0.0;
    double baseline = drawn.rect.top() + ascent;
    for (const QString &line : lines) {
        const double indent = (widest - metrics.horizontalAdvance(line)) * shift;
        drawn.lines.emplace_back(line, QPointF(drawn.rect.left() + indent, baseline));
        baseline += lineHeight + ChipLayout::lineSpacing;
    }
    return drawn;
}

QRectF PreviewChipView::textInCanvas() const {
    return drawnText().rect.translated(QPointF(pos()));
}

std::vector<QLineF> PreviewChipView::outlineInCanvas() const {
    if (!inputs_.isSelected) {
        return {};
    }
    std::vector<QLineF> lines =
        ChipLayout::outlineClearOf(boxInWidget_, drawnText().rect, outlineGap);
    for (QLineF &line : lines) {
        line.translate(QPointF(pos()));
    }
    return lines;
}

void PreviewChipView::setTextLayer(QWidget *layer) {
    textLayer_ = layer;
    update();
    changed();
}

void PreviewChipView::changed() {
    if (textLayer_) {
        textLayer_->update();
    }
}

void PreviewChipView::paintText(QPainter &painter) const {
    const DrawnText drawn = drawnText();
    const BurnInElement &element = inputs_.element;
    painter.save();
    if (textLayer_ && element.showBackground) {
        // The chip's background behind its lines is drawn with them, over every chip: another
        // chip's background never lies over them, and of two texts that meet the later reads.
        painter.fillRect(textBackground(drawn),
                         colour(element.bgR, element.bgG, element.bgB, element.bgOpacity));
    }
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(drawn.font);
    painter.setPen(colour(element.textR, element.textG, element.textB, element.textOpacity));
    for (const auto &[line, origin] : drawn.lines) {
        painter.drawText(origin, line);
    }
    painter.restore();
}

QRect PreviewChipView::textBackground(const DrawnText &drawn) const {
    return drawn.rect.toAlignedRect().intersected(chipInWidget_.toAlignedRect());
}

void PreviewChipView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRectF &chip = chipInWidget_;
    const BurnInElement &element = inputs_.element;
    if (element.showBackground) {
        // Behind its lines the text layer draws it (paintText).
        painter.save();
        if (textLayer_) {
            painter.setClipRegion(QRegion(chip.toAlignedRect()) - textBackground(drawnText()));
        }
        painter.fillRect(chip, colour(element.bgR, element.bgG, element.bgB, element.bgOpacity));
        painter.restore();
    }
    if (inputs_.isSelected) {
        // Where the effect draws the text, which the chip stands on; never through the chip's
        // own lines.
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(
            QPen(corvane::withOpacity(corvane::Color::corvaneAccent(), 0.9), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        const QRectF box = boxInWidget_.adjusted(0.5, 0.5, -0.5, -0.5);
        for (const QLineF &line : ChipLayout::outlineClearOf(box, drawnText().rect, outlineGap)) {
            painter.drawLine(line);
        }
        painter.restore();
    }
    if (!textLayer_) {
        paintText(painter);
    }
    if (inputs_.isSelected) {
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(corvane::Color::corvaneAccent(), 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        painter.setPen(pen);
        painter.drawRoundedRect(chip, 2, 2);
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
