#pragma once

#include <QPointF>

#include <optional>

namespace corvane {

// The split shell's sidebar width: where it starts and how its handle changes it.
class SidebarWidth {
public:
    SidebarWidth() = delete;

    // `width` raised to `minimum`, then lowered to `maximum`: where the bounds cross, the
    // maximum wins.
    static double clamped(double width, double minimum, double maximum);

    // The width a shell starts with: a stored width above 0, clamped; anything else (nothing
    // stored, 0, a negative width, not a number) gives the ideal width as it is, even outside
    // the bounds, until the first drag clamps it.
    static double seeded(std::optional<double> stored, double minimum, double ideal,
                         double maximum);
};

// A drag on the sidebar's handle. It begins once the pointer has moved 1 point from where it
// pressed; from then on every move sets the width to the width at the start of the drag plus
// the pointer's horizontal travel, clamped. Each step measures from the start, not from the
// step before, so a pointer that overshoots a bound moves the width again only once it is
// back inside.
class SidebarDrag {
public:
    static constexpr double minimumDistance = 1;

    SidebarDrag(double minimum, double maximum) : minimum_(minimum), maximum_(maximum) {}

    // The pointer is `translation` away from where it pressed and the sidebar is
    // `currentWidth` wide. The new width once the drag has begun; nothing before.
    std::optional<double> moved(QPointF translation, double currentWidth);
    void ended() { startWidth_.reset(); }

    // The width when the drag began; nothing while no drag is under way.
    std::optional<double> startWidth() const { return startWidth_; }

private:
    double minimum_;
    double maximum_;
    std::optional<double> startWidth_;
};

} // namespace corvane
