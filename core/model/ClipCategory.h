#pragma once

#include "core/model/RawEnum.h"

namespace tandrel {

struct ClipCategoryCases {
    enum Case : unsigned char { simple, compound, multicam, sync, gap, generator, title };
    static constexpr std::array<std::string_view, 7> rawValues{
        "simple", "compound", "multicam", "sync", "gap", "generator", "title"};
};

// The kind of a timeline item.
class ClipCategory : public RawEnum<ClipCategory, ClipCategoryCases> {
public:
    using RawEnum::RawEnum;
};

} // namespace tandrel
