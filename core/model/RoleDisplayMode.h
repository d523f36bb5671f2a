#pragma once

#include "core/model/RawEnum.h"

namespace tandrel {

struct RoleDisplayModeCases {
    enum Case : unsigned char { custom, mediaFilename, roleName };
    static constexpr std::array<std::string_view, 3> rawValues{"custom", "mediaFilename",
                                                               "roleName"};
};

// What a role-text element shows while a clip carrying one of its roles is active.
class RoleDisplayMode : public RawEnum<RoleDisplayMode, RoleDisplayModeCases> {
public:
    using RawEnum::RawEnum;
};

} // namespace tandrel
