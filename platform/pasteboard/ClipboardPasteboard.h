#pragma once

#include "platform/pasteboard/Pasteboard.h"

namespace platform {

// The general pasteboard of the desktop: the application's clipboard, whose types are the
// clipboard's formats. Needs the application object of a program with a display
// (QGuiApplication); used on its thread only.
class ClipboardPasteboard final : public Pasteboard {
public:
    void clearContents() override;
    void setData(const std::string &data, const std::string &type) override;
    std::optional<std::string> data(const std::string &type) const override;
};

} // namespace platform
