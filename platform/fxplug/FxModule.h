#pragma once

// What an effect module (a shared library a host opens with dlopen) exports: one function
// that makes an effect by its registered class name and one that destroys it, so that the
// effect is freed by the module that made it.

#include "platform/fxplug/FxTileableEffect.h"
#include "platform/fxplug/PROAPIAccessing.h"

namespace platform {

// The exported symbols.
inline constexpr const char *fxCreateEffectSymbol = "FxCreateEffect";
inline constexpr const char *fxDestroyEffectSymbol = "FxDestroyEffect";

// Makes the effect registered under `className` for a host with this API manager (which may
// be null, and must outlive the effect); null for a class the module does not have.
using FxCreateEffectFunction = FxTileableEffect *(*)(const char *className,
                                                     PROAPIAccessing *apiManager);
using FxDestroyEffectFunction = void (*)(FxTileableEffect *effect);

} // namespace platform

// A module defines both, with C linkage.
extern "C" {
platform::FxTileableEffect *FxCreateEffect(const char *className,
                                           platform::PROAPIAccessing *apiManager);
void FxDestroyEffect(platform::FxTileableEffect *effect);
}
