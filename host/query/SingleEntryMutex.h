#pragma once

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace tandrel {

// A non-recursive mutex that refuses, with std::logic_error, a second lock by the thread that
// already holds it, where a plain mutex would hang that thread for good. Meets BasicLockable.
class SingleEntryMutex {
public:
    void lock() {
        if (owner_.load(std::memory_order_relaxed) == std::this_thread::get_id()) {
            // Only this thread can have stored its own id.
            throw std::logic_error("a lock is taken again by the thread that holds it");
        }
        mutex_.lock();
        owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
    }
    void unlock() {
        owner_.store(std::thread::id(), std::memory_order_relaxed);
        mutex_.unlock();
    }

private:
    std::mutex mutex_;
    std::atomic<std::thread::id> owner_{};
};

} // namespace tandrel
