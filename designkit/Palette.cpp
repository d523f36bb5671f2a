#include "designkit/Palette.h"

#include "designkit/Color.h"

#include <QApplication>
#include <QStyleFactory>
#include <QWidget>

namespace corvane {

QPalette darkPalette() {
    const QColor primary = Color::primary();
    const QColor surface = Color::corvaneSurface();
    QPalette palette;
    palette.setColor(QPalette::Window, Color::corvaneBase());
    palette.setColor(QPalette::WindowText, primary);
    palette.setColor(QPalette::Base, surface);
    palette.setColor(QPalette::AlternateBase, Color::sRGB(0.13, 0.14, 0.16));
    palette.setColor(QPalette::Text, primary);
    palette.setColor(QPalette::BrightText, Color::white());
    palette.setColor(QPalette::Button, surface);
    palette.setColor(QPalette::ButtonText, primary);
    palette.setColor(QPalette::Light, Color::sRGB(0.24, 0.25, 0.28));
    palette.setColor(QPalette::Midlight, Color::sRGB(0.18, 0.19, 0.22));
    palette.setColor(QPalette::Mid, Color::sRGB(0.14, 0.15, 0.17));
    palette.setColor(QPalette::Dark, Color::sRGB(0.04, 0.05, 0.06));
    palette.setColor(QPalette::Shadow, Color::black());
    palette.setColor(QPalette::Highlight, Color::corvaneAccent());
    palette.setColor(QPalette::HighlightedText, Color::white());
    palette.setColor(QPalette::ToolTipBase, Color::sRGB(0.17, 0.17, 0.18));
    palette.setColor(QPalette::ToolTipText, withOpacity(Color::white(), 0.9));
    palette.setColor(QPalette::PlaceholderText, Color::corvaneTextTertiary());
    palette.setColor(QPalette::Link, Color::corvaneAccent());
    palette.setColor(QPalette::LinkVisited, Color::vibrantBlue());
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, Color::corvaneTextTertiary());
    }
    return palette;
}

void installPalette(QApplication &application) {
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        application.setStyle(fusion);
    }
    application.setPalette(darkPalette());
}

void corvaneForeground(QWidget *view, const QColor &colour) {
    QPalette palette = view->palette();
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, colour);
    }
    view->setPalette(palette);
}

QColor foregroundOf(const QWidget *view) {
    return view->palette().color(view->foregroundRole());
}

} // namespace corvane
