#pragma once

#include "core/model/RawEnum.h"

namespace tandrel {

struct StackedLayerColumnsCases {
    enum Case : unsigned char { both, leftOnly, rightOnly };
    static constexpr std::array<std::string_view, 3> rawValues{"both", "leftOnly", "rightOnly"};
};

// Which columns a stacked-layer block shows.
class StackedLayerColumns : public RawEnum<StackedLayerColumns, StackedLayerColumnsCases> {
public:
    using RawEnum::RawEnum;
};

} // namespace tandrel
