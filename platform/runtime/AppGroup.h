#pragma once

#include "platform/runtime/KeyValueStore.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// What the programs of one application group share (the host and the editor panel): a folder
// of the group's name in the user's data folder ($XDG_DATA_HOME, else ~/.local/share), and in
// it the group's defaults suite, an INI file of the same name. Both describe the user's
// projects and are the user's alone: the folder is made 0700, the suite kept 0600.
struct AppGroup {
    // The group's folder, created when missing; nothing when there is no home folder, the
    // identifier is no plain folder name, the folder cannot be made (a file in its place), or
    // it is not the user's alone (another user made it first, or others may write it): that is
    // said in the log, once, and in `problem` when it is given.
    static std::optional<std::filesystem::path> containerURL(const std::string &identifier,
                                                             std::string *problem = nullptr);

    // The group's suite, "<identifier>.ini" in its folder, opened afresh on every call of the
    // store, so that what another process wrote is read at once; nothing without a folder. A
    // suite file that is not the user's alone reads as empty and takes no change.
    static std::shared_ptr<KeyValueStore> suite(const std::string &identifier);
};

} // namespace platform
