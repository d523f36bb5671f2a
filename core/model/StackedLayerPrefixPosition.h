#pragma once

#include "core/model/RawEnum.h"

namespace tandrel {

struct StackedLayerPrefixPositionCases {
    enum Case : unsigned char { beforeValue, afterValue };
    static constexpr std::array<std::string_view, 2> rawValues{"beforeValue", "afterValue"};
};

// Where a stacked-layer row's prefix stands relative to its value.
class StackedLayerPrefixPosition
    : public RawEnum<StackedLayerPrefixPosition, StackedLayerPrefixPositionCases> {
public:
    using RawEnum::RawEnum;
};

} // namespace tandrel
