#include "platform/proext/ProExtension.h"

#include <mutex>

namespace platform {

namespace {

std::mutex registeredLock;
std::shared_ptr<ProExtensionHost> registered;

} // namespace

std::shared_ptr<ProExtensionHost> ProExtensionHostSingleton() {
    std::lock_guard guard(registeredLock);
    return registered;
}

void ProExtensionRegisterHost(std::shared_ptr<ProExtensionHost> host) {
    std::lock_guard guard(registeredLock);
    registered = std::move(host);
}

} // namespace platform
