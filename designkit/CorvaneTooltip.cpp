#include "designkit/CorvaneTooltip.h"

#include "designkit/CorvaneAnimation.h"
#include "designkit/CorvaneTooltipPill.h"
#include "designkit/CorvaneTooltipPositioning.h"
#include "designkit/TextElision.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace corvane {

// Watches the whole application, while a pill shows, for a click on the anchor or on any of
// its children: those are delivered to the child, never to the anchor.
class TooltipClickWatcher : public QObject {
public:
    TooltipClickWatcher(QWidget *anchor, std::function<void()> clicked, QObject *parent)
        : QObject(parent), anchor_(anchor), clicked_(std::move(clicked)) {}

    void setWatching(bool watching) {
        if (watching) {
            qApp->installEventFilter(this);
        } else {
            qApp->removeEventFilter(this);
        }
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            const auto *widget = qobject_cast<QWidget *>(watched);
            if (widget != nullptr && (widget == anchor_ || anchor_->isAncestorOf(widget))) {
                clicked_();
            }
        }
        return false;
    }

private:
    QWidget *anchor_;
    std::function<void()> clicked_;
};

namespace {

QRectF anchorFrameIn(const QWidget *anchor, const QWidget *window) {
    return QRectF(anchor->mapTo(window, QPoint(0, 0)), anchor->size());
}

} // namespace

CorvaneTooltipModifier::CorvaneTooltipModifier(QWidget *anchor, const QString &text,
                                               const std::optional<QString> &shortcut, Edge edge)
    // Bounded in lines and characters, its stray controls shown, whatever was put into it.
    : QObject(anchor), anchor_(anchor), text_(TextElision::boundedLines(text)), shortcut_(shortcut),
      edge_(edge), fade_(new CorvaneAnimation(this)), clicks_(new TooltipClickWatcher(
                                                          anchor, [this] { tapped(); }, this)) {
    anchor_->installEventFilter(this);
    describe();
}

CorvaneTooltipModifier::~CorvaneTooltipModifier() {
    clicks_->setWatching(false);
    if (hoveredWindow_ != nullptr) {
        hoveredWindow_->removeEventFilter(this);
    }
    // The pill belongs to the window, which may outlive the anchor.
    delete pill_;
}

void CorvaneTooltipModifier::setContent(const QString &text, const std::optional<QString> &shortcut,
                                        Edge edge) {
    text_ = TextElision::boundedLines(text);
    shortcut_ = shortcut;
    edge_ = edge;
    describe();
    if (shown_ && text_.isEmpty()) {
        hide();
    } else if (shown_) {
        pill_->setContent(text_, shortcut_);
        place();
    }
}

void CorvaneTooltipModifier::describe() {
    anchor_->setAccessibleName(text_);
    anchor_->setAccessibleDescription(
        shortcut_ ? QCoreApplication::translate("CorvaneTooltip", "Shortcut %1").arg(*shortcut_)
                  : QString());
}

bool CorvaneTooltipModifier::eventFilter(QObject *watched, QEvent *event) {
    if (watched == hoveredWindow_ && watched != anchor_) {
        // Another window took the keyboard (one the control opened, say): the pointer's rest
        // on the control is over.
        if (event->type() == QEvent::WindowDeactivate) {
            leave();
        }
        return false;
    }
    if (watched != anchor_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::Enter:
        enter();
        break;
    case QEvent::Leave:
    case QEvent::Hide:
        leave();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        if (shown_) {
            place();
        }
        break;
    case QEvent::ToolTip:
        return true; // the kit's pill stands in for the system's tooltip
    default:
        break;
    }
    return false;
}

void CorvaneTooltipModifier::enter() {
    hovering_ = true;
    tapped_ = false;
    // A click from now on keeps the pill away, also one before it shows.
    clicks_->setWatching(true);
    if (hoveredWindow_ != anchor_->window()) {
        if (hoveredWindow_ != nullptr) {
            hoveredWindow_->removeEventFilter(this);
        }
        hoveredWindow_ = anchor_->window();
        hoveredWindow_->installEventFilter(this);
    }
    CorvaneClock::shared().schedule(delay, this, [this] {
        if (hovering_ && !tapped_) {
            show();
        }
    });
}

void CorvaneTooltipModifier::leave() {
    hovering_ = false;
    clicks_->setWatching(false);
    if (hoveredWindow_ != nullptr && hoveredWindow_ != anchor_) {
        hoveredWindow_->removeEventFilter(this);
    }
    hoveredWindow_ = nullptr;
    hide();
}

void CorvaneTooltipModifier::tapped() {
    tapped_ = true;
    hide();
}

void CorvaneTooltipModifier::show() {
    // Nothing to say, nothing shown.
    if (shown_ || text_.isEmpty()) {
        return;
    }
    QWidget *window = anchor_->window();
    if (pill_ == nullptr) {
        pill_ = new CorvaneTooltipPill(window);
    } else if (pill_->parentWidget() != window) {
        pill_->setParent(window);
    }
    shown_ = true;
    pill_->setContent(text_, shortcut_);
    pill_->setOpacity(0);
    place();
    pill_->raise();
    pill_->show();
    fade_->start(fadeIn, CorvaneAnimation::easeOut(), [pill = pill_](double progress) {
        if (pill != nullptr) {
            pill->setOpacity(progress);
        }
    });
}

void CorvaneTooltipModifier::hide() {
    if (!shown_) {
        return;
    }
    shown_ = false;
    fade_->stop();
    if (pill_ != nullptr) {
        pill_->hide();
    }
}

double CorvaneTooltipModifier::horizontalCorrection() const {
    if (pill_ == nullptr) {
        return 0;
    }
    return CorvaneTooltipPositioning::horizontalCorrection(
        anchorFrameIn(anchor_, anchor_->window()), pill_->size(),
        CorvaneTooltipPositioning::currentContainerBounds(anchor_));
}

void CorvaneTooltipModifier::place() {
    pill_->resize(pill_->sizeHint());
    const QRectF anchor = anchorFrameIn(anchor_, anchor_->window());
    const Edge edge =
        CorvaneTooltipPositioning::fittingEdge(anchor, pill_->size(), edge_, pill_->oneLineHeight(),
                                               QRectF(QPointF(0, 0), anchor_->window()->size()));
    const QRectF frame = CorvaneTooltipPositioning::pillFrame(
        anchor, pill_->size(), edge, horizontalCorrection(), pill_->oneLineHeight());
    pill_->move(frame.topLeft().toPoint());
}

CorvaneTooltipModifier *corvaneTooltip(QWidget *widget, const QString &text,
                                       const std::optional<QString> &shortcut, Edge edge) {
    if (auto *existing =
            widget->findChild<CorvaneTooltipModifier *>(QString(), Qt::FindDirectChildrenOnly)) {
        existing->setContent(text, shortcut, edge);
        return existing;
    }
    return new CorvaneTooltipModifier(widget, text, shortcut, edge);
}

} // namespace corvane
