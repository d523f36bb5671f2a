#include "platform/proext/SimulatedFCPXHost.h"

#include <algorithm>

namespace platform {

std::shared_ptr<const FCPXSequence> SimulatedTimeline::activeSequence() const {
    std::lock_guard guard(lock_);
    return sequence_;
}

timecode::MediaTime SimulatedTimeline::playheadTime() const {
    std::lock_guard guard(lock_);
    return playhead_;
}

void SimulatedTimeline::addTimelineObserver(const std::shared_ptr<FCPXTimelineObserver> &observer) {
    std::lock_guard guard(lock_);
    const bool known = std::any_of(observers_.begin(), observers_.end(), [&](const auto &added) {
        return added.lock() == observer;
    });
    if (!known) {
        observers_.push_back(observer);
    }
}

void SimulatedTimeline::removeTimelineObserver(const FCPXTimelineObserver *observer) {
    // A call in progress on another thread ends first; one on this thread (an observer that
    // removes itself) goes on, the recursive lock lets it.
    std::lock_guard telling(telling_);
    std::lock_guard guard(lock_);
    std::erase_if(observers_, [&](const auto &added) {
        const auto alive = added.lock();
        return !alive || alive.get() == observer;
    });
}

void SimulatedTimeline::setActiveSequence(std::shared_ptr<const FCPXSequence> sequence) {
    {
        std::lock_guard guard(lock_);
        sequence_ = std::move(sequence);
    }
    tell(&FCPXTimelineObserver::activeSequenceChanged);
}

void SimulatedTimeline::setPlayheadTime(timecode::MediaTime time) {
    {
        std::lock_guard guard(lock_);
        playhead_ = time;
    }
    tell(&FCPXTimelineObserver::playheadTimeChanged);
}

void SimulatedTimeline::changeSequenceTimeRange() {
    tell(&FCPXTimelineObserver::sequenceTimeRangeChanged);
}

bool SimulatedTimeline::isAdded(const FCPXTimelineObserver *observer) const {
    std::lock_guard guard(lock_);
    return std::any_of(observers_.begin(), observers_.end(),
                       [&](const auto &added) { return added.lock().get() == observer; });
}

int SimulatedTimeline::observerCount() const {
    std::lock_guard guard(lock_);
    return static_cast<int>(observers_.size());
}

void SimulatedTimeline::tell(void (FCPXTimelineObserver::*callback)()) {
    std::lock_guard telling(telling_);
    std::vector<std::shared_ptr<FCPXTimelineObserver>> alive;
    {
        std::lock_guard guard(lock_);
        for (const auto &observer : observers_) {
            if (auto locked = observer.lock()) {
                alive.push_back(std::move(locked));
            }
        }
    }
    for (const auto &observer : alive) {
        // One removed by an observer told before it hears nothing more.
        if (isAdded(observer.get())) {
            ((*observer).*callback)();
        }
    }
}

} // namespace platform
