#include "designkit/CorvaneButtonStyle.h"

#include "designkit/Color.h"
#include "designkit/Fonts.h"

namespace corvane {

namespace {
constexpr double pressedOpacity = 0.8;
}

QFont CorvaneButtonStyle::font() {
    return corvaneFont(14, CorvaneFontWeight::medium, FontTextStyle::subheadline);
}

ButtonLook CorvaneButtonStyle::look(bool isPressed) const {
    return {isActive ? Color::corvaneAccentBackground() : Color::clear(),
            withOpacity(Color::white(), isPressed ? 0.15 : 0.08), isPressed ? pressedOpacity : 1.0};
}

ButtonLook CorvaneIconButtonStyle::look(bool isPressed) const {
    return {isPressed ? Color::corvaneSelection() : Color::clear(),
            withOpacity(Color::white(), 0.08), isPressed ? pressedOpacity : 1.0};
}

} // namespace corvane
