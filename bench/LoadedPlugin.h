#pragma once

// The effect module as an editor loads it, over a snapshot written once into a private data
// folder for the benchmarks of one program: the module's snapshot provider is the process's
// own, so a program measures one snapshot.

#include "core/snapshot/SnapshotWriter.h"
#include "platform/fxplug/FxModule.h"
#include "platform/fxplug/SimulatedEditor.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace tandrel::bench {

class LoadedPlugin {
public:
    // A timeline at `rate` frames per second over `snapshot`.
    LoadedPlugin(const TandrelSnapshot &snapshot, unsigned int rate)
        : timeline_(platform::SimulatedEditor::Timeline{rate, 1}, false) {
        std::string folder = (std::filesystem::temp_directory_path() / "tandrel-bench-XXXXXX");
        if (mkdtemp(folder.data()) == nullptr) {
            throw std::runtime_error("no temporary folder");
        }
        folder_ = folder;
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
        SnapshotWriter::write(snapshot);

        module_ = dlopen(TANDREL_PLUGIN_MODULE, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (module_ == nullptr) {
            throw std::runtime_error(dlerror());
        }
        const auto create = reinterpret_cast<platform::FxCreateEffectFunction>(
            dlsym(module_, platform::fxCreateEffectSymbol));
        effect_ = create("TandrelPluginRenderer", &timeline_);
        if (effect_ == nullptr) {
            throw std::runtime_error("the module makes no effect");
        }
    }
    ~LoadedPlugin() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    LoadedPlugin(const LoadedPlugin &) = delete;
    LoadedPlugin &operator=(const LoadedPlugin &) = delete;

    platform::FxTileableEffect &effect() { return *effect_; }

private:
    platform::SimulatedEditor timeline_;
    std::filesystem::path folder_;
    void *module_ = nullptr;
    platform::FxTileableEffect *effect_ = nullptr; // lives as long as the process
};

} // namespace tandrel::bench
