#pragma once

#include "designkit/CorvaneChipStyle.h"
#include "designkit/CorvaneFontWeight.h"

#include <QColor>

namespace corvane {

struct ChipColors {
    QColor fill;
    QColor stroke;

    friend bool operator==(const ChipColors &, const ChipColors &) = default;
};

// The colours and type of a chip by style and state. The size changes the padding only; a
// disabled chip dims its text but keeps its fill and border.
class CorvaneChipAppearance {
public:
    CorvaneChipAppearance() = delete;

    static constexpr double cornerRadius = 8;
    static constexpr double labelSize = 14;
    static constexpr double iconPointSize = 12;
    static constexpr int spacing = 4;

    static ChipColors chrome(const CorvaneChipStyle &style, bool isSelected, const QColor &tint);
    static QColor foreground(const CorvaneChipStyle &style, bool isSelected, bool isDisabled,
                             const QColor &tint);
    static CorvaneFontWeight labelWeight(bool isSelected);
};

} // namespace corvane
