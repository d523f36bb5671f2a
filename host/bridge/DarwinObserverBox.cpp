#include "host/bridge/DarwinObserverBox.h"

namespace tandrel::ExtensionBridge {

DarwinObserverBox &DarwinObserverBox::shared() {
    // Never destroyed: a notification may still arrive while the process ends.
    static DarwinObserverBox *const box = new DarwinObserverBox;
    return *box;
}

void DarwinObserverBox::registerCallback(DarwinNotification name, Callback callback) {
    std::lock_guard guard(lock_);
    callbacks_[std::string(name.rawValue())].push_back(std::move(callback));
}

void DarwinObserverBox::fire(std::string_view name) const {
    std::vector<Callback> callbacks;
    {
        std::lock_guard guard(lock_);
        if (const auto found = callbacks_.find(name); found != callbacks_.end()) {
            callbacks = found->second;
        }
    }
    for (const Callback &callback : callbacks) {
        callback();
    }
}

} // namespace tandrel::ExtensionBridge
