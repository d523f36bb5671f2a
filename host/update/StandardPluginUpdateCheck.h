#pragma once

#include "host/update/PluginUpdateCheck.h"

#include <functional>
#include <string>

namespace tandrel {

// The check as the host runs it from its state object's start: the version marker in its
// place under Application Support, the installer with the build's configuration, and the
// outcome handed to `publish` on the calling thread (the installer's work runs on the thread
// pool). The hook's shape is the state object's `checkPluginUpdate` service.
using PluginUpdateCheckHook =
    std::function<void(std::function<void(PluginUpdateCheck::State)> publish)>;

// `hostBuild`: the host's own build number (its "CFBundleVersion").
PluginUpdateCheckHook standardPluginUpdateCheck(std::string hostBuild);

} // namespace tandrel
