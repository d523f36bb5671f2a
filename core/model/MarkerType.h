#pragma once

#include "core/model/RawEnum.h"

namespace tandrel {

struct MarkerTypeCases {
    enum Case : unsigned char { chapter, todo, standard };
    static constexpr std::array<std::string_view, 3> rawValues{"chapter", "todo", "standard"};
};

// The kinds of timeline marker.
class MarkerType : public RawEnum<MarkerType, MarkerTypeCases> {
public:
    using RawEnum::RawEnum;
};

} // namespace tandrel
