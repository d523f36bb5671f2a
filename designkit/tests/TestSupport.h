#pragma once

#include <QColor>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

// What the kit's tests share. Colours are compared as the sRGB fractions and opacity the kit
// defines them by.
struct Rgba {
    double red;
    double green;
    double blue;
    double alpha = 1;
};

inline ::testing::AssertionResult sameColour(const QColor &actual, const Rgba &expected) {
    constexpr double tolerance = 1e-4;
    if (std::abs(actual.redF() - expected.red) < tolerance &&
        std::abs(actual.greenF() - expected.green) < tolerance &&
        std::abs(actual.blueF() - expected.blue) < tolerance &&
        std::abs(actual.alphaF() - expected.alpha) < tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got (" << actual.redF() << ", " << actual.greenF() << ", " << actual.blueF()
           << ", alpha " << actual.alphaF() << "), want (" << expected.red << ", " << expected.green
           << ", " << expected.blue << ", alpha " << expected.alpha << ")";
}

inline Rgba rgbaOf(const QColor &colour, double opacity = 1) {
    return {colour.redF(), colour.greenF(), colour.blueF(), colour.alphaF() * opacity};
}

inline void PrintTo(const QColor &colour, std::ostream *out) {
    *out << colour.name(QColor::HexArgb).toStdString();
}

inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

#include <QCoreApplication>
#include <QEnterEvent>
#include <QWidget>

// The pointer coming onto and going off a widget, as the window system reports it.
inline void hoverEnter(QWidget *widget, QPointF at = QPointF(1, 1)) {
    QEnterEvent enter(at, at, widget->mapToGlobal(at));
    QCoreApplication::sendEvent(widget, &enter);
}

inline void hoverLeave(QWidget *widget) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
}

// Runs the work posted for later turns of the event loop.
inline void nextTurn() {
    QCoreApplication::sendPostedEvents();
}
