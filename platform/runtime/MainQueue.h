#pragma once

#include <functional>

class QObject;

namespace platform {

// Work handed to the main thread's event loop: the way callbacks from other threads, from
// the file-system watcher or from cross-process notifications reach the state object.
struct MainQueue {
    // Runs `work` on `context`'s thread from its event loop, after whatever that thread is doing
    // now; the work is dropped when `context` is destroyed before it runs (which is how a task
    // "holds the state object weakly"). May be called from any thread.
    static void async(QObject *context, std::function<void()> work);

    // Work handed over and not yet run or dropped.
    static int pending();

    // Runs the work handed to the calling thread until none is pending, work handed over
    // meanwhile included. For tests that drive the loop themselves, when all work goes to
    // objects of the calling thread; never call it from inside such work.
    static void runPending();
};

} // namespace platform
