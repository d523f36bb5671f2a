#include "plugin/SerialQueue.h"

#include <pthread.h>

namespace tandrel {

SerialQueue::SerialQueue(std::string label) : label_(std::move(label)) {}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard guard(state_->mutex);
        state_->stopping = true;
        state_->jobs.clear();
    }
    state_->changed.notify_all();
    if (!worker_.joinable()) {
        return;
    }
    if (worker_.get_id() == std::this_thread::get_id()) {
        worker_.detach(); // the worker holds the state it needs and leaves after this job
    } else {
        worker_.join();
    }
}

void SerialQueue::async(std::function<void()> job) {
    {
        std::lock_guard guard(state_->mutex);
        if (state_->stopping) {
            return;
        }
        state_->jobs.push_back(std::move(job));
        if (!worker_.joinable()) {
            worker_ = std::thread(work, state_);
            // Thread names hold 15 bytes: keep the label's end, its most telling part.
            const std::string name =
                label_.size() > 15 ? label_.substr(label_.size() - 15) : label_;
            pthread_setname_np(worker_.native_handle(), name.c_str());
        }
    }
    state_->changed.notify_all();
}

void SerialQueue::waitUntilIdle() {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return state_->jobs.empty() && !state_->running; });
}

void SerialQueue::work(const std::shared_ptr<State> &state) {
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->changed.wait(lock, [&] { return state->stopping || !state->jobs.empty(); });
        if (state->stopping) {
            return;
        }
        std::function<void()> job = std::move(state->jobs.front());
        state->jobs.pop_front();
        state->running = true;
        lock.unlock();
        try {
            job();
        } catch (...) {
            // A job reports its own failures; one that escapes must not end the queue.
        }
        job = nullptr; // what the job holds is released outside the lock too
        lock.lock();
        state->running = false;
        state->changed.notify_all();
    }
}

} // namespace tandrel
