#pragma once

#include "platform/fxplug/FxModule.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tandrel::fxhost {

// An effect module opened with dlopen, and the effects it makes. The module stays loaded
// while this object lives; effects it made must be gone before.
class EffectModule {
public:
    using EffectPointer =
        std::unique_ptr<platform::FxTileableEffect, platform::FxDestroyEffectFunction>;

    // Opens the module and finds its factory. Fails with std::runtime_error (the loader's
    // reason) when it cannot.
    explicit EffectModule(const std::filesystem::path &path);
    ~EffectModule();
    EffectModule(const EffectModule &) = delete;
    EffectModule &operator=(const EffectModule &) = delete;

    // The effect registered under `className` for a host with this API manager (which must
    // outlive it); null when the module has no such class.
    EffectPointer create(const std::string &className, platform::PROAPIAccessing *apiManager);

private:
    void *handle_ = nullptr;
    platform::FxCreateEffectFunction create_ = nullptr;
    platform::FxDestroyEffectFunction destroy_ = nullptr;
};

} // namespace tandrel::fxhost
