#include "host/views/layout/SliderScale.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

SliderScale::SliderScale(double lower, double upper, double step)
    : lower_(lower), upper_(upper), step_(step) {}

double SliderScale::clamp(double value) const {
    return std::clamp(value, lower_, upper_);
}

int SliderScale::decimals() const {
    return step_ < 1 ? 2 : 0;
}

int SliderScale::positionCount() const {
    return static_cast<int>(std::lround((upper_ - lower_) / step_));
}

int SliderScale::position(double value) const {
    if (!std::isfinite(value)) {
        return value > 0 ? positionCount() : 0;
    }
    return static_cast<int>(std::lround((clamp(value) - lower_) / step_));
}

double SliderScale::value(int position) const {
    const double raw = lower_ + std::clamp(position, 0, positionCount()) * step_;
    // Steps are given in decimals; ten places drop what adding them in binary leaves behind.
    constexpr double places = 1e10;
    return clamp(std::round(raw * places) / places);
}

QString SliderScale::format(double value, const QLocale &locale) const {
    return locale.toString(value, 'f', decimals());
}

std::optional<double> SliderScale::parse(const QString &text, const QLocale &locale) {
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace tandrel
