#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace corvane {

// Hands a view the window it is in, always on a later turn of the event loop, never at once:
// first after it is made, then after each change of parent or showing, when it writes the
// window only if it is another one. Until the first turn, and while the view is in no window
// (hostingWindow), it holds nothing.
class WindowGrabber : public QObject {
    Q_OBJECT

public:
    explicit WindowGrabber(QWidget *view);

    QWidget *window() const { return window_; }

signals:
    void windowChanged(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void grabLater();

    QWidget *view_;
    QPointer<QWidget> window_;
};

} // namespace corvane
