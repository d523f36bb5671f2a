#pragma once

#include <functional>
#include <string>

namespace platform {

// System-wide notifications that carry nothing but a name, from any process to every process
// that observes the name, the poster included: signals on the D-Bus session bus. Postings reach
// the observers on a thread of the centre's own, so delivery never waits for a main loop to go
// idle. Without a session bus, or before the application object exists, posting and observing
// do nothing, and the log says so once.
struct DarwinNotifyCenter {
    using Callback = std::function<void(const std::string &name)>;

    // The signal that carries a posting: its interface, object path and member; its one
    // argument is the name.
    static constexpr const char *busInterface = "com.ostrevale.DarwinNotify";
    static constexpr const char *busPath = "/com/ostrevale/DarwinNotify";
    static constexpr const char *busMember = "Posted";

    // Whether notifications travel: there is an application object and a session bus.
    static bool isAvailable();

    // Hands the notification to the bus and returns once the bus has routed it, so that a
    // program may post and exit at once.
    static void post(const std::string &name);

    // Runs `callback` on the centre's thread at every posting of `name` from the moment this
    // returns. An observer has one callback per name: registering it again for that name
    // replaces the callback, so a posting never reaches one observer twice. Registrations are
    // never removed; delivery ends with the application object. May be called from any thread.
    static void addObserver(const void *observer, const std::string &name, Callback callback);
};

} // namespace platform
