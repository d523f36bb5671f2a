#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace tandrel {

// Jobs run one at a time, in submission order, on one worker thread of the queue's own
// (started with the first job). Submitting never waits for a job. Safe to use from any
// thread; a job may submit further jobs and may even release the queue's owner.
class SerialQueue {
public:
    // `label` names the queue in logs and, cut to the system's limit, its thread.
    explicit SerialQueue(std::string label);
    // Jobs not started yet are dropped; the running one finishes first, unless the queue is
    // destroyed by that very job, whose thread then finishes on its own.
    ~SerialQueue();
    SerialQueue(const SerialQueue &) = delete;
    SerialQueue &operator=(const SerialQueue &) = delete;

    const std::string &label() const { return label_; }

    void async(std::function<void()> job);

    // Returns once every job submitted before the call has finished.
    void waitUntilIdle();

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<std::function<void()>> jobs;
        bool running = false; // a job is being run
        bool stopping = false;
    };

    static void work(const std::shared_ptr<State> &state);

    std::string label_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
    std::thread worker_; // guarded by state_->mutex until it runs
};

} // namespace tandrel
