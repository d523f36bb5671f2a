#include "designkit/CorvaneTransparentWindow.h"

#include "designkit/WindowFrameGeometry.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace corvane {

namespace {

const QString frameHandlerName = QStringLiteral("corvane-window-frame");

// Moves and resizes a frameless window. It watches the application's events, not only the
// window's: a press near an edge must win over the widget under it, and the pointer's shape
// must follow moves over children that do not track the mouse.
class WindowFrameHandler : public QObject {
public:
    explicit WindowFrameHandler(QWidget *window) : QObject(window), window_(window) {
        setObjectName(frameHandlerName);
        qApp->installEventFilter(this);
    }

    ~WindowFrameHandler() override { showEdgeCursor({}); }

    bool eventFilter(QObject *watched, QEvent *event) override {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            if (drag_ != Drag::none) {
                follow(static_cast<QMouseEvent *>(event));
                return true;
            }
            if (event->type() == QEvent::MouseMove && inWindow(watched)) {
                const auto *mouse = static_cast<QMouseEvent *>(event);
                if (mouse->buttons() == Qt::NoButton) {
                    showEdgeCursor(edgesUnder(mouse->globalPosition().toPoint()));
                }
            }
            return false;
        case QEvent::Leave:
            if (watched == window_) {
                showEdgeCursor({});
            }
            return false;
        case QEvent::MouseButtonPress:
            return inWindow(watched) && press(watched, static_cast<QMouseEvent *>(event));
        default:
            return false;
        }
    }

private:
    enum class Drag { none, move, resize };

    bool inWindow(QObject *object) const {
        const auto *widget = qobject_cast<QWidget *>(object);
        return widget != nullptr && widget->window() == window_;
    }

    bool isFreelySized() const {
        return !(window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    }

    Qt::Edges edgesUnder(QPoint global) const {
        if (!isFreelySized()) {
            return {};
        }
        return WindowFrameGeometry::edgesAt(window_->mapFromGlobal(global), window_->size());
    }

    // A press anywhere in the window reaches here once for each widget it passes on its way
    // up; one near an edge is taken at once, one in the top band only once no widget took it
    // and it has come up to the window itself.
    bool press(QObject *watched, QMouseEvent *event) {
        if (event->button() != Qt::LeftButton) {
            return false;
        }
        const QPoint global = event->globalPosition().toPoint();
        QWindow *handle = window_->windowHandle();
        if (const Qt::Edges edges = edgesUnder(global)) {
            if (handle == nullptr || !handle->startSystemResize(edges)) {
                begin(Drag::resize, edges, global);
            }
            event->accept();
            return true;
        }
        if (watched == window_ &&
            WindowFrameGeometry::isInMoveBand(event->position().toPoint(), window_->size())) {
            if ((handle == nullptr || !handle->startSystemMove()) && isFreelySized()) {
                begin(Drag::move, {}, global);
            }
            event->accept();
            return true;
        }
        return false;
    }

    void begin(Drag drag, Qt::Edges edges, QPoint global) {
        drag_ = drag;
        edges_ = edges;
        pressed_ = global;
        startGeometry_ = window_->geometry();
        startPosition_ = window_->pos();
    }

    void follow(const QMouseEvent *event) {
        if (event->type() == QEvent::MouseButtonRelease) {
            drag_ = Drag::none;
            return;
        }
        const QPoint delta = event->globalPosition().toPoint() - pressed_;
        if (drag_ == Drag::move) {
            window_->move(startPosition_ + delta);
        } else {
            window_->setGeometry(WindowFrameGeometry::resized(
                startGeometry_, edges_, delta, window_->minimumSize(), window_->maximumSize()));
        }
    }

    void showEdgeCursor(Qt::Edges edges) {
        if (!edges) {
            if (cursorShown_) {
                QGuiApplication::restoreOverrideCursor();
                cursorShown_ = false;
            }
            return;
        }
        const QCursor cursor(WindowFrameGeometry::cursorFor(edges));
        if (cursorShown_) {
            QGuiApplication::changeOverrideCursor(cursor);
        } else {
            QGuiApplication::setOverrideCursor(cursor);
            cursorShown_ = true;
        }
    }

    QWidget *window_;
    Drag drag_ = Drag::none;
    Qt::Edges edges_;
    QPoint pressed_;
    QRect startGeometry_;
    QPoint startPosition_;
    bool cursorShown_ = false;
};

void makeTransparent(QWidget *widget, std::optional<QSize> minSize) {
    QWidget *window = hostingWindow(widget);
    if (window == nullptr) {
        return;
    }
    const bool needsFrameless = !(window->windowFlags() & Qt::FramelessWindowHint);
    const bool needsAlpha = !window->testAttribute(Qt::WA_TranslucentBackground);
    const bool created = window->windowHandle() != nullptr && window->windowHandle()->handle();
    const bool wasVisible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setAttribute(Qt::WA_TranslucentBackground);
    if (needsFrameless) {
        window->setWindowFlag(Qt::FramelessWindowHint); // hides a shown window
    }
    if (minSize) {
        window->setMinimumSize(*minSize);
    }
    if (created && needsAlpha) {
        // A surface made opaque stays opaque: only a new one takes the alpha channel.
        window->windowHandle()->destroy();
    }
    if (wasVisible && !window->isVisible()) {
        window->setGeometry(geometry); // within the minimum size: Qt keeps to it
        window->show();
    }
    if (window->findChild<QObject *>(frameHandlerName, Qt::FindDirectChildrenOnly) == nullptr) {
        new WindowFrameHandler(window);
    }
}

} // namespace

QWidget *hostingWindow(QWidget *widget) {
    if (widget == nullptr) {
        return nullptr;
    }
    if (widget->parentWidget() == nullptr && !widget->testAttribute(Qt::WA_WState_Created)) {
        return nullptr;
    }
    return widget->window();
}

void corvaneTransparentWindow(QWidget *widget, std::optional<QSize> minSize) {
    if (widget == nullptr) {
        return;
    }
    // Queued on the widget itself: a widget destroyed before that turn takes the call with it.
    QMetaObject::invokeMethod(
        widget, [widget, minSize] { makeTransparent(widget, minSize); }, Qt::QueuedConnection);
}

} // namespace corvane
