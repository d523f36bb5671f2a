#pragma once

#include "designkit/CorvaneFontWeight.h"
#include "designkit/FontTextStyle.h"

#include <QColor>
#include <QFont>

#include <array>
#include <optional>

class QWidget;

namespace corvane {

// The kit's type ramp: nine named styles of the kit's face. Only the two smallest also
// colour their text; a colour the caller sets afterwards wins.
class CorvaneTextStyle {
public:
    enum Case : uint8_t {
        largeTitle,
        title,
        headline,
        body,
        bodySmall,
        control,
        label,
        caption,
        micro,
    };

    static const std::array<CorvaneTextStyle, 9> allCases;

    constexpr CorvaneTextStyle(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

    CorvaneFontWeight weight() const;
    double size() const;
    FontTextStyle relativeTo() const;
    std::optional<QColor> foreground() const;
    QFont font() const;

    // Sets the style's font and, where it has one, its text colour on `view`.
    void apply(QWidget *view) const;

private:
    Case value_;
};

void corvaneLargeTitle(QWidget *view);
void corvaneTitle(QWidget *view);
void corvaneHeadline(QWidget *view);
void corvaneBody(QWidget *view);
void corvaneBodySmall(QWidget *view);
void corvaneControl(QWidget *view);
void corvaneLabel(QWidget *view);
void corvaneCaption(QWidget *view);
void corvaneMicro(QWidget *view);

} // namespace corvane
