// The loadable effect module TandrelPlugin.so: the factory a host finds with dlsym, making the
// burn-in effect by its registered class name. Everything else in the module stays private to
// it (see exports.map).

#include "platform/fxplug/FxModule.h"
#include "plugin/TandrelRenderer.h"

#include <cstring>
#include <new>

extern "C" {

platform::FxTileableEffect *FxCreateEffect(const char *className,
                                           platform::PROAPIAccessing *apiManager) {
    if (className == nullptr || std::strcmp(className, tandrel::TandrelRenderer::className) != 0) {
        return nullptr;
    }
    return new (std::nothrow) tandrel::TandrelRenderer(apiManager);
}

void FxDestroyEffect(platform::FxTileableEffect *effect) {
    delete effect;
}

} // extern "C"
