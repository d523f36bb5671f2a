#include "plugin/PluginBundle.h"

#include <dlfcn.h>

namespace tandrel {

std::filesystem::path pluginBundleDirectory() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void *>(&pluginBundleDirectory), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    std::error_code ignored;
    const std::filesystem::path module = std::filesystem::canonical(info.dli_fname, ignored);
    return module.empty() ? std::filesystem::path() : module.parent_path();
}

} // namespace tandrel
