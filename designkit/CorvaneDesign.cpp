#include "designkit/CorvaneDesign.h"

#include "designkit/Color.h"

namespace corvane {

namespace CorvaneDesign {

const std::array<Elevation, 3> Elevation::allCases = {card, panel, floating};

Shadow Elevation::shadow() const {
    switch (value_) {
    case card:
        return {withOpacity(Color::black(), 0.2), 4, {0, 1}};
    case panel:
        return {withOpacity(Color::black(), 0.3), 10, {0, 3}};
    case floating:
        return {withOpacity(Color::black(), 0.4), 20, {0, 8}};
    }
    return {};
}

} // namespace CorvaneDesign

void corvaneElevation(QWidget *view, CorvaneDesign::Elevation elevation) {
    applyShadow(view, elevation.shadow());
}

} // namespace corvane
