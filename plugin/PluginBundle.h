#pragma once

#include <filesystem>

namespace tandrel {

// The plug-in's bundle: the folder of the module (or program) this code was loaded from,
// which carries the overlay's shader library beside it. Empty when the system cannot say.
std::filesystem::path pluginBundleDirectory();

} // namespace tandrel
