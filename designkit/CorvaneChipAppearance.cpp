#include "designkit/CorvaneChipAppearance.h"

#include "designkit/Color.h"

namespace corvane {

ChipColors CorvaneChipAppearance::chrome(const CorvaneChipStyle &style, bool isSelected,
                                         const QColor &tint) {
    switch (style.kind()) {
    case CorvaneChipStyle::Case::colored:
        return isSelected ? ChipColors{withOpacity(style.color(), 0.9), Color::clear()}
                          : ChipColors{Color::corvaneChipFill(), withOpacity(style.color(), 0.3)};
    case CorvaneChipStyle::Case::standard:
        return isSelected ? ChipColors{withOpacity(tint, 0.2), withOpacity(tint, 0.5)}
                          : ChipColors{Color::corvaneChipFill(), Color::clear()};
    case CorvaneChipStyle::Case::plain:
        return {Color::clear(),
                isSelected ? withOpacity(tint, 0.5) : Color::corvaneAccentStrokeFaint()};
    case CorvaneChipStyle::Case::tabBare:
        return {Color::clear(), Color::clear()};
    }
    return {Color::clear(), Color::clear()};
}

QColor CorvaneChipAppearance::foreground(const CorvaneChipStyle &style, bool isSelected,
                                         bool isDisabled, const QColor &tint) {
    if (isDisabled) {
        return Color::corvaneTextTertiary();
    }
    switch (style.kind()) {
    case CorvaneChipStyle::Case::colored:
        return isSelected ? Color::white() : style.color();
    case CorvaneChipStyle::Case::standard:
    case CorvaneChipStyle::Case::plain:
        return isSelected ? tint : Color::corvaneTextSecondary();
    case CorvaneChipStyle::Case::tabBare:
        return isSelected ? Color::white() : Color::corvaneTextSecondary();
    }
    return Color::corvaneTextSecondary();
}

CorvaneFontWeight CorvaneChipAppearance::labelWeight(bool isSelected) {
    return isSelected ? CorvaneFontWeight::demiBold : CorvaneFontWeight::medium;
}

} // namespace corvane
