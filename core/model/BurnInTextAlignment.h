#pragma once

#include "core/model/RawEnum.h"

namespace tandrel {

struct BurnInTextAlignmentCases {
    enum Case : unsigned char { left, center, right };
    static constexpr std::array<std::string_view, 3> rawValues{"left", "center", "right"};
};

// Horizontal alignment of an element's text.
class BurnInTextAlignment : public RawEnum<BurnInTextAlignment, BurnInTextAlignmentCases> {
public:
    using RawEnum::RawEnum;
};

} // namespace tandrel
