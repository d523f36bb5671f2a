#pragma once

#include <mutex>

namespace tandrel {

// The effect instance's two one-shot diagnostics: each is logged by the first frame that asks,
// never again for that instance. Safe to use from any thread.
class ProbeFlags {
public:
    // True for the first caller only.
    bool takeDocumentIDProbe() { return take(loggedDocumentIDProbe_); }
    bool takeImageOriginProbe() { return take(loggedImageOriginProbe_); }

private:
    bool take(bool &logged) {
        std::lock_guard guard(probeLock_);
        const bool first = !logged;
        logged = true;
        return first;
    }

    std::mutex probeLock_;
    bool loggedDocumentIDProbe_ = false;
    bool loggedImageOriginProbe_ = false;
};

} // namespace tandrel
