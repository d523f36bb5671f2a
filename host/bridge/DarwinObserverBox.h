#pragma once

#include "host/bridge/DarwinNotification.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel::ExtensionBridge {

// The callbacks registered for the bridge's notifications, by notification name, in the order
// they were registered. The notification centre delivers every posting to the process's one
// box, which runs the callbacks of that name. Nothing is ever removed.
//
// Safe from any thread. The lock is held only while the table is touched: callbacks run after
// it is released, on the thread that fires, so a callback may register further callbacks
// (they run from the next posting on).
class DarwinObserverBox {
public:
    using Callback = std::function<void()>;

    // The process's box, created on first use and kept until the process ends.
    static DarwinObserverBox &shared();

    void registerCallback(DarwinNotification name, Callback callback);
    // Runs a copy of the callbacks registered under `name`, in order; none for any other name.
    void fire(std::string_view name) const;

private:
    mutable std::mutex lock_;
    std::map<std::string, std::vector<Callback>, std::less<>> callbacks_;
};

} // namespace tandrel::ExtensionBridge
