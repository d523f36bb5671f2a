#pragma once

#include <QWidget>

namespace corvane {

class WindowGrabber;

// The kit's close, minimise and zoom buttons, in place of the system's on a glass window
// (corvaneTransparentWindow): three 12-point lights 8 points apart, grey until the pointer
// is over the group, when all three take their colours and symbols together. They act on the
// window they are in (close; minimise; zoom, which maximises or restores), which they learn
// on a later turn of the event loop: a light pressed before then does nothing.
class CorvaneTrafficLights : public QWidget {
    Q_OBJECT

public:
    explicit CorvaneTrafficLights(QWidget *parent = nullptr);

    bool isHovering() const { return hovering_; }
    // The window the lights act on; nullptr until it has been delivered.
    QWidget *hostWindow() const;

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void setHovering(bool hovering);

    bool hovering_ = false;
    WindowGrabber *grabber_;
};

} // namespace corvane
