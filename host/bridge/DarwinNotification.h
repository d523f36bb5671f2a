#pragma once

#include "core/model/RawEnum.h"

#include <array>
#include <string_view>

namespace tandrel::ExtensionBridge {

struct DarwinNotificationCases {
    enum Case : unsigned char { presetsChanged, selectionChanged, xmlDropped };
    static constexpr std::array<std::string_view, 3> rawValues{
        "com.ostrevale.tandrel.presetsChanged", "com.ostrevale.tandrel.selectionChanged",
        "com.ostrevale.tandrel.xmlDropped"};
};

// The bridge's cross-process notifications; the raw value is the name posted. The host posts
// presetsChanged once it has published its presets; the panel posts selectionChanged once it
// has published its selection, and xmlDropped once a dropped file is complete on disk.
class DarwinNotification : public RawEnum<DarwinNotification, DarwinNotificationCases> {
public:
    using RawEnum::RawEnum;
};

} // namespace tandrel::ExtensionBridge
