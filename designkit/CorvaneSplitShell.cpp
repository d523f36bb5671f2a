#include "designkit/CorvaneSplitShell.h"

#include "designkit/CorvaneAnimation.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneMaterial.h"
#include "designkit/Painting.h"
#include "designkit/SplitShellGeometry.h"

#include "platform/runtime/KeyValueStore.h"

#include <QMouseEvent>
#include <QPainter>

namespace corvane {

CorvaneSplitShell::~CorvaneSplitShell() = default;

namespace {

std::optional<double> storedWidth(const platform::KeyValueStore *userDefaults,
                                  const std::optional<QString> &key) {
    if (userDefaults == nullptr || !key) {
        return std::nullopt;
    }
    bool ok = false;
    const double stored = userDefaults->value(*key).toDouble(&ok);
    return ok ? std::optional(stored) : std::nullopt;
}

// Where a shell with that key keeps its width: nowhere without a key.
std::shared_ptr<platform::KeyValueStore> keptIn(const std::optional<QString> &key,
                                                std::shared_ptr<platform::KeyValueStore> given) {
    if (!key) {
        return nullptr;
    }
    if (given) {
        return given;
    }
    return platform::SettingsKeyValueStore::standardUserDefaults();
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
        // The width a drag ends at is kept, once; a press that never became a drag keeps
        // nothing.
        if (shell_->drag_.startWidth()) {
            shell_->storeWidth();
        }
        shell_->drag_.ended();
    }

private:
    CorvaneSplitShell *shell_;
    std::optional<QPointF> pressed_;
};

// The card of a floating sidebar, over the content: the window's own material made opaque,
// then the window's tint and the card's, so that it reads as the card beside the content does
// while nothing under it shows through (no blur here hides what lies behind a material).
class SplitShellCardBacking : public QWidget {
public:
    explicit SplitShellCardBacking(CorvaneSplitShell *shell) : QWidget(shell), shell_(shell) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        corvaneElevation(this, CorvaneDesign::Elevation::floating);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const double radius = CorvaneSplitShell::cardRadius;
        QColor ground = CorvaneMaterial(CorvaneMaterial::hudWindow).fill();
        ground.setAlphaF(1);
        fillRounded(painter, rect(), radius, ground);
        fillRounded(painter, rect(), radius, withOpacity(shell_->baseColor_, shell_->baseOpacity_));
        shell_->paintCard(painter, rect());
    }

private:
    CorvaneSplitShell *shell_;
};

CorvaneSplitShell::CorvaneSplitShell(Config config, QWidget *parent)
    : QWidget(parent), baseColor_(config.baseColor), baseOpacity_(config.baseOpacity),
      cardColor_(config.sidebarCardColor), cardOpacity_(config.sidebarCardOpacity),
      minimum_(config.minSidebarWidth), maximum_(config.maxSidebarWidth),
      key_(config.persistenceKey), userDefaults_(keptIn(key_, std::move(config.userDefaults))),
      sidebar_(config.sidebar != nullptr ? config.sidebar : new QWidget),
      content_(config.content != nullptr ? config.content : new QWidget), handle_(nullptr),
      slide_(new CorvaneAnimation(this)), drag_(minimum_, maximum_),
      width_(SidebarWidth::seeded(storedWidth(userDefaults_.get(), key_), minimum_,
                                  config.idealSidebarWidth, maximum_)),
      collapsed_(config.isSidebarCollapsed), revealed_(collapsed_ ? 0 : 1) {
    content_->setParent(this);
    backing_ = new SplitShellCardBacking(this);
    sidebar_->setParent(this);
    handle_ = new SplitShellHandle(this);
    showParts(!collapsed_);
    relayout();
}

void CorvaneSplitShell::showParts(bool shown) {
    sidebar_->setVisible(shown);
    handle_->setVisible(shown && !floating_);
    backing_->setVisible(shown && floating_);
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
    // On screen while the card slides.
    showParts(true);
    const auto settle = [this] { showParts(!collapsed_); };
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

void CorvaneSplitShell::setSidebarFloating(bool floating) {
    if (floating == floating_) {
        return;
    }
    floating_ = floating;
    showParts(!collapsed_ || slide_->isRunning());
    relayout();
    updateGeometry();
}

void CorvaneSplitShell::setBaseColor(const QColor &color, double opacity) {
    baseColor_ = color;
    baseOpacity_ = opacity;
    update();
    backing_->update();
}

void CorvaneSplitShell::setSidebarCardColor(const QColor &color, double opacity) {
    cardColor_ = color;
    cardOpacity_ = opacity;
    update();
    backing_->update();
}

void CorvaneSplitShell::setWidth(double width) {
    if (width == width_) {
        return;
    }
    width_ = width;
    relayout();
    emit sidebarWidthChanged(width_);
}

void CorvaneSplitShell::storeWidth() {
    if (userDefaults_ != nullptr && storedWidth(userDefaults_.get(), key_) != width_) {
        userDefaults_->setValue(*key_, width_);
    }
}

void CorvaneSplitShell::setRevealed(double revealed) {
    revealed_ = revealed;
    relayout();
}

void CorvaneSplitShell::relayout() {
    const SplitShellGeometry geometry =
        SplitShellGeometry::compute(size(), width_, revealed_, floating_);
    content_->setGeometry(geometry.content);
    backing_->setGeometry(geometry.card);
    backing_->raise();
    sidebar_->setGeometry(geometry.card);
    sidebar_->raise();
    handle_->setGeometry(geometry.handle);
    handle_->raise();
    update();
}

QSize CorvaneSplitShell::minimumSizeHint() const {
    const QSize content = content_->minimumSizeHint().expandedTo(QSize(0, 0));
    if (collapsed_ || floating_) {
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
    if (!sidebar_->isHidden() && !floating_) {
        paintCard(painter, cardGeometry());
    }
}

void CorvaneSplitShell::paintCard(QPainter &painter, const QRect &card) const {
    fillRounded(painter, card, cardRadius, withOpacity(cardColor_, cardOpacity_));
    strokeRoundedInside(painter, card, cardRadius, withOpacity(Color::white(), 0.06));
}

} // namespace corvane
