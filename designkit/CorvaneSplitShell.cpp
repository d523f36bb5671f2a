#include "designkit/CorvaneSplitShell.h"

#include "designkit/CorvaneAnimation.h"
#include "designkit/CorvaneMaterial.h"
#include "designkit/Painting.h"
#include "designkit/SplitShellGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSettings>

namespace corvane {

CorvaneSplitShell::~CorvaneSplitShell() = default;

namespace {

std::optional<double> storedWidth(const QSettings *settings, const std::optional<QString> &key) {
    if (settings == nullptr || !key) {
        return std::nullopt;
    }
    bool ok = false;
    const double stored = settings->value(*key).toDouble(&ok);
    return ok ? std::optional(stored) : std::nullopt;
}

} // namespace

// The strip between the sidebar and the content that resizes the sidebar. It draws nothing.
class SplitShellHandle : public QWidget {
public:
    explicit SplitShellHandle(CorvaneSplitShell *shell) : QWidget(shell), shell_(shell) {
        setCursor(Qt::SizeHorCursor);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override {
        if (event->button() != Qt::LeftButton) {
            event->ignore();
            return;
        }
        // Global positions: the handle itself moves as the width follows the pointer.
        pressed_ = event->globalPosition();
    }

    void mouseMoveEvent(QMouseEvent *event) override {
        if (!pressed_) {
            event->ignore();
            return;
        }
        if (const auto width =
                shell_->drag_.moved(event->globalPosition() - *pressed_, shell_->width_)) {
            shell_->setWidth(*width);
        }
    }

    void mouseReleaseEvent(QMouseEvent *event) override {
        if (event->button() != Qt::LeftButton || !pressed_) {
            event->ignore();
            return;
        }
        pressed_.reset();
        shell_->drag_.ended();
    }

private:
    CorvaneSplitShell *shell_;
    std::optional<QPointF> pressed_;
};

CorvaneSplitShell::CorvaneSplitShell(Config config, QWidget *parent)
    : QWidget(parent), baseColor_(config.baseColor), baseOpacity_(config.baseOpacity),
      cardColor_(config.sidebarCardColor), cardOpacity_(config.sidebarCardOpacity),
      minimum_(config.minSidebarWidth), maximum_(config.maxSidebarWidth),
      key_(config.persistenceKey),
      // Kept for the shell's life: writes go to memory at once and to disk in batches.
      settings_(key_ ? std::make_unique<QSettings>() : nullptr),
      sidebar_(config.sidebar != nullptr ? config.sidebar : new QWidget),
      content_(config.content != nullptr ? config.content : new QWidget), handle_(nullptr),
      slide_(new CorvaneAnimation(this)), drag_(minimum_, maximum_),
      width_(SidebarWidth::seeded(storedWidth(settings_.get(), key_), minimum_,
                                  config.idealSidebarWidth, maximum_)),
      collapsed_(config.isSidebarCollapsed), revealed_(collapsed_ ? 0 : 1) {
    content_->setParent(this);
    sidebar_->setParent(this);
    handle_ = new SplitShellHandle(this);
    sidebar_->setVisible(!collapsed_);
    handle_->setVisible(!collapsed_);
    relayout();
}

QWidget *CorvaneSplitShell::resizeHandle() const {
    return handle_;
}

QRect CorvaneSplitShell::cardGeometry() const {
    return SplitShellGeometry::compute(size(), width_, revealed_).card;
}

void CorvaneSplitShell::setSidebarCollapsed(bool collapsed, bool animated) {
    if (collapsed == collapsed_) {
        return;
    }
    collapsed_ = collapsed;
    slide_->stop();
    sidebar_->show();
    handle_->show();
    const auto settle = [this] {
        sidebar_->setVisible(!collapsed_);
        handle_->setVisible(!collapsed_);
    };
    const double to = collapsed ? 0 : 1;
    if (!animated) {
        setRevealed(to);
        settle();
        return;
    }
    const double from = revealed_;
    slide_->start(
        collapseSlide, CorvaneAnimation::easeInOut(),
        [this, from, to](double progress) { setRevealed(from + (to - from) * progress); }, settle);
}

void CorvaneSplitShell::setBaseColor(const QColor &color, double opacity) {
    baseColor_ = color;
    baseOpacity_ = opacity;
    update();
}

void CorvaneSplitShell::setSidebarCardColor(const QColor &color, double opacity) {
    cardColor_ = color;
    cardOpacity_ = opacity;
    update();
}

void CorvaneSplitShell::setWidth(double width) {
    if (width == width_) {
        return;
    }
    width_ = width;
    if (settings_ != nullptr) {
        settings_->setValue(*key_, width_);
    }
    relayout();
    emit sidebarWidthChanged(width_);
}

void CorvaneSplitShell::setRevealed(double revealed) {
    revealed_ = revealed;
    relayout();
}

void CorvaneSplitShell::relayout() {
    const SplitShellGeometry geometry = SplitShellGeometry::compute(size(), width_, revealed_);
    sidebar_->setGeometry(geometry.card);
    handle_->setGeometry(geometry.handle);
    handle_->raise();
    content_->setGeometry(geometry.content);
    update();
}

QSize CorvaneSplitShell::minimumSizeHint() const {
    const QSize content = content_->minimumSizeHint().expandedTo(QSize(0, 0));
    if (collapsed_) {
        return content;
    }
    const SplitShellGeometry geometry = SplitShellGeometry::compute(QSize(0, 0), width_, revealed_);
    const QSize sidebar = sidebar_->minimumSizeHint().expandedTo(QSize(0, 0));
    return {geometry.content.left() + content.width(),
            std::max(content.height(), sidebar.height() + 2 * SplitShellGeometry::cardMargin)};
}

void CorvaneSplitShell::resizeEvent(QResizeEvent *) {
    relayout();
}

void CorvaneSplitShell::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), CorvaneMaterial(CorvaneMaterial::hudWindow).fill());
    painter.fillRect(rect(), withOpacity(baseColor_, baseOpacity_));
    if (!sidebar_->isHidden()) {
        const QRect card = cardGeometry();
        fillRounded(painter, card, cardRadius, withOpacity(cardColor_, cardOpacity_));
        strokeRoundedInside(painter, card, cardRadius, withOpacity(Color::white(), 0.06));
    }
}

} // namespace corvane
