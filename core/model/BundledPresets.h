#pragma once

#include "core/model/DisplayConfig.h"

#include <filesystem>
#include <vector>

namespace tandrel {

// The built-in burn-in presets: a table compiled into the host, overlaid by the preset files
// of the resource folder "BundledPresets". The host's state object offers them as its
// bundled and factory presets.
//
// The resource folder is "share/tandrel/BundledPresets" beside the folder of the running
// executable ("<prefix>/bin/tool" looks in "<prefix>/share/tandrel/BundledPresets"); the
// build copies the project's presets there and installation puts them in the same place.
struct BundledPresets {
    // "Netflix QC Layout", "Conform" and "Colorist", built once per process; every preset
    // and element gets its random id then.
    static const std::vector<DisplayConfig> &table();

    // The table overlaid by the presets of `resourceFolder`, in file-name order: each is
    // marked built-in and replaces the preset of the same name in place, or is appended.
    static std::vector<DisplayConfig> factoryPresets(const std::filesystem::path &resourceFolder);
    static std::vector<DisplayConfig> factoryPresets() { return factoryPresets(resourceFolder()); }

    // The presets of the folder's ".json" files (extension in any case), sorted by file name;
    // files that do not read or decode are skipped, and a missing folder has none.
    static std::vector<DisplayConfig>
    loadBundledPresetJSONFiles(const std::filesystem::path &resourceFolder);

    // "<executable's folder>/../share/tandrel/BundledPresets".
    static std::filesystem::path resourceFolder();
};

} // namespace tandrel
