#include "designkit/CorvaneTrafficLights.h"

#include "designkit/Color.h"
#include "designkit/CorvaneFontWeight.h"
#include "designkit/CorvaneSymbols.h"
#include "designkit/Painting.h"
#include "designkit/WindowGrabber.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPainter>

namespace corvane {

namespace {

constexpr int lightSize = 12;
constexpr int lightSpacing = 8;
constexpr double symbolPointSize = 6.5;

enum class WindowAction { close, minimize, zoom };

struct Light {
    WindowAction action;
    QColor colour;
    const char *symbol;
    const char *label;
};

const std::array<Light, 3> &lights() {
    static const std::array<Light, 3> table = {{
        {WindowAction::close, Color::sRGB(1.0, 0.373, 0.341), "xmark",
         QT_TRANSLATE_NOOP("CorvaneTrafficLights", "Close Window")},
        {WindowAction::minimize, Color::sRGB(0.996, 0.737, 0.18), "minus",
         QT_TRANSLATE_NOOP("CorvaneTrafficLights", "Minimize Window")},
        {WindowAction::zoom, Color::sRGB(0.157, 0.784, 0.251), "arrow.up.left.and.arrow.down.right",
         QT_TRANSLATE_NOOP("CorvaneTrafficLights", "Zoom Window")},
    }};
    return table;
}

void perform(WindowAction action, QWidget *window) {
    switch (action) {
    case WindowAction::close:
        window->close();
        break;
    case WindowAction::minimize:
        window->showMinimized();
        break;
    case WindowAction::zoom:
        if (window->isMaximized()) {
            window->showNormal();
        } else {
            window->showMaximized();
        }
        break;
    }
}

// One light: grey at rest, its colour and symbol while the pointer is over the group.
class TrafficLight : public QAbstractButton {
public:
    TrafficLight(const Light &light, const CorvaneTrafficLights *group)
        : light_(light), group_(group) {
        setFixedSize(lightSize, lightSize);
        setFocusPolicy(Qt::NoFocus);
        setAccessibleName(QCoreApplication::translate("CorvaneTrafficLights", light.label));
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        if (isDown()) {
            painter.setOpacity(0.7);
        }
        const QRectF circle(0, 0, lightSize, lightSize);
        const bool lit = group_->isHovering();
        fillRounded(painter, circle, lightSize / 2.0,
                    lit ? light_.colour : withOpacity(Color::white(), 0.22));
        if (lit) {
            const double side = CorvaneSymbols::side(symbolPointSize);
            CorvaneSymbols::paint(
                painter,
                QRectF(circle.center().x() - side / 2, circle.center().y() - side / 2, side, side),
                QString::fromLatin1(light_.symbol),
                CorvaneFontWeight(CorvaneFontWeight::heavy).qtWeight(),
                withOpacity(Color::black(), 0.55));
        }
    }

private:
    const Light &light_;
    const CorvaneTrafficLights *group_;
};

} // namespace

CorvaneTrafficLights::CorvaneTrafficLights(QWidget *parent)
    : QWidget(parent), grabber_(new WindowGrabber(this)) {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(lightSpacing);
    for (const Light &light : lights()) {
        auto *button = new TrafficLight(light, this);
        connect(button, &QAbstractButton::clicked, this, [this, &light] {
            if (QWidget *window = grabber_->window()) {
                perform(light.action, window);
            }
        });
        row->addWidget(button, 0, Qt::AlignVCenter);
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QWidget *CorvaneTrafficLights::hostWindow() const {
    return grabber_->window();
}

// The group tracks the pointer as a whole: passing from one light to the next, or over the
// gaps between them, never leaves it.
void CorvaneTrafficLights::enterEvent(QEnterEvent *) {
    setHovering(true);
}

void CorvaneTrafficLights::leaveEvent(QEvent *) {
    setHovering(false);
}

void CorvaneTrafficLights::setHovering(bool hovering) {
    hovering_ = hovering;
    for (QWidget *light : findChildren<QWidget *>()) {
        light->update();
    }
}

} // namespace corvane
