#pragma once

#include <filesystem>

namespace tandrel {

// The user's folder for application data: $XDG_DATA_HOME when it is set to an absolute path,
// else ".local/share" in the home folder ($HOME, else the account's home). Fails with
// std::runtime_error when no home folder can be found. The folder may not exist yet.
std::filesystem::path applicationSupportDirectory();

// The user's home folder: $HOME when it is set to an absolute path, else the account's home
// when that is absolute; empty when neither is.
std::filesystem::path homeDirectory();

} // namespace tandrel
