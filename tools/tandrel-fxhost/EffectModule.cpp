#include "tools/tandrel-fxhost/EffectModule.h"

#include <dlfcn.h>

#include <stdexcept>

namespace tandrel::fxhost {

namespace {

std::string loaderError() {
    const char *text = dlerror();
    return text != nullptr ? text : "unknown loader error";
}

} // namespace

EffectModule::EffectModule(const std::filesystem::path &path) {
    // Local: the module's symbols never stand in for the host's, nor the reverse. Never
    // unloaded: an effect module keeps threads and process-wide caches of its own.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle_ == nullptr) {
        throw std::runtime_error("cannot load " + path.string() + ": " + loaderError());
    }
    create_ = reinterpret_cast<platform::FxCreateEffectFunction>(
        dlsym(handle_, platform::fxCreateEffectSymbol));
    destroy_ = reinterpret_cast<platform::FxDestroyEffectFunction>(
        dlsym(handle_, platform::fxDestroyEffectSymbol));
    if (create_ == nullptr || destroy_ == nullptr) {
        const std::string reason = loaderError();
        dlclose(handle_);
        throw std::runtime_error(path.string() + " is no effect module: " + reason);
    }
}

EffectModule::~EffectModule() {
    dlclose(handle_);
}

EffectModule::EffectPointer EffectModule::create(const std::string &className,
                                                 platform::PROAPIAccessing *apiManager) {
    return {create_(className.c_str(), apiManager), destroy_};
}

} // namespace tandrel::fxhost
