#include "designkit/CorvaneTextStyle.h"

#include "designkit/Color.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"

#include <QWidget>

namespace corvane {

namespace {

struct Row {
    CorvaneFontWeight weight;
    double size;
    FontTextStyle relativeTo;
};

// largeTitle and title sit one text style below what their names suggest, on purpose.
constexpr std::array<Row, 9> rows = {{
    {CorvaneFontWeight::demiBold, 22, FontTextStyle::title},
    {CorvaneFontWeight::demiBold, 20, FontTextStyle::title2},
    {CorvaneFontWeight::demiBold, 18, FontTextStyle::headline},
    {CorvaneFontWeight::regular, 17, FontTextStyle::body},
    {CorvaneFontWeight::regular, 16, FontTextStyle::callout},
    {CorvaneFontWeight::medium, 14, FontTextStyle::subheadline},
    {CorvaneFontWeight::medium, 14, FontTextStyle::footnote},
    {CorvaneFontWeight::regular, 13, FontTextStyle::caption},
    {CorvaneFontWeight::regular, 12, FontTextStyle::caption2},
}};

} // namespace

const std::array<CorvaneTextStyle, 9> CorvaneTextStyle::allCases = {
    largeTitle, title, headline, body, bodySmall, control, label, caption, micro};

CorvaneFontWeight CorvaneTextStyle::weight() const {
    return rows[value_].weight;
}
double CorvaneTextStyle::size() const {
    return rows[value_].size;
}
FontTextStyle CorvaneTextStyle::relativeTo() const {
    return rows[value_].relativeTo;
}

std::optional<QColor> CorvaneTextStyle::foreground() const {
    switch (value_) {
    case caption:
        return Color::corvaneTextSecondary();
    case micro:
        return Color::corvaneTextTertiary();
    default:
        return std::nullopt;
    }
}

QFont CorvaneTextStyle::font() const {
    return corvaneFont(size(), weight(), relativeTo());
}

void CorvaneTextStyle::apply(QWidget *view) const {
    view->setFont(font());
    if (const auto colour = foreground()) {
        corvaneForeground(view, *colour);
    }
}

void corvaneLargeTitle(QWidget *view) {
    CorvaneTextStyle(CorvaneTextStyle::largeTitle).apply(view);
}
void corvaneTitle(QWidget *view) {
    CorvaneTextStyle(CorvaneTextStyle::title).apply(view);
}
void corvaneHeadline(QWidget *view) {
    CorvaneTextStyle(CorvaneTextStyle::headline).apply(view);
}
void corvaneBody(QWidget *view) {
    CorvaneTextStyle(CorvaneTextStyle::body).apply(view);
}
void corvaneBodySmall(QWidget *view) {
    CorvaneTextStyle(CorvaneTextStyle::bodySmall).apply(view);
}
void corvaneControl(QWidget *view) {
    CorvaneTextStyle(CorvaneTextStyle::control).apply(view);
}
void corvaneLabel(QWidget *view) {
    CorvaneTextStyle(CorvaneTextStyle::label).apply(view);
}
void corvaneCaption(QWidget *view) {
    CorvaneTextStyle(CorvaneTextStyle::caption).apply(view);
}
void corvaneMicro(QWidget *view) {
    CorvaneTextStyle(CorvaneTextStyle::micro).apply(view);
}

} // namespace corvane
