#pragma once

#include "core/model/DisplayConfig.h"
#include "core/model/FCPLibrary.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel::cli {

// The library at `path`, scanned. Fails with std::runtime_error when the path names no
// library: no folder, a folder whose name does not end in ".fcpbundle" (the message names the
// libraries inside it, if any), or one in which the scan found no event database.
FCPLibrary scanLibrary(const std::filesystem::path &path);

struct TimelineMatch {
    const FCPEvent *event = nullptr;
    const FCPTimelineInfo *timeline = nullptr;
};

// The timeline that `text` names: its id as `scan` lists it, else its name, matched exactly
// and then ignoring case. Fails with std::runtime_error listing the library's timelines when
// none matches (or saying that a database is being saved, when one is), and the candidates'
// ids when several do.
TimelineMatch findTimeline(const FCPLibrary &library, std::string_view text);

// The built-in preset named `name`, matched exactly and then ignoring case; without a name,
// the first built-in preset, which the host makes the active one on its first start. Fails
// with std::runtime_error listing the built-in presets.
DisplayConfig builtInPreset(const std::optional<std::string> &name);

} // namespace tandrel::cli
