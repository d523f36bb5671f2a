#pragma once

#include "platform/proext/ProExtension.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A sequence that stays as it was made.
class SimulatedSequence final : public FCPXSequence {
public:
    SimulatedSequence(std::string name, timecode::MediaTime frameDuration,
                      FCPXSequenceTimecodeFormat timecodeFormat)
        : name_(std::move(name)), frameDuration_(frameDuration), timecodeFormat_(timecodeFormat) {}

    std::string name() const override { return name_; }
    timecode::MediaTime frameDuration() const override { return frameDuration_; }
    FCPXSequenceTimecodeFormat timecodeFormat() const override { return timecodeFormat_; }

private:
    std::string name_;
    timecode::MediaTime frameDuration_;
    FCPXSequenceTimecodeFormat timecodeFormat_;
};

// A timeline moved by hand, for programs and tests that play the editor. Each change tells the
// observers on the thread that made it, as the editor does from its own threads, after the
// change is in place and with no lock held, so an observer may read the timeline or remove
// itself.
class SimulatedTimeline final : public FCPXTimeline {
public:
    std::shared_ptr<const FCPXSequence> activeSequence() const override;
    timecode::MediaTime playheadTime() const override;
    void addTimelineObserver(const std::shared_ptr<FCPXTimelineObserver> &observer) override;
    void removeTimelineObserver(const FCPXTimelineObserver *observer) override;

    // Opens the sequence (none closes it) and tells activeSequenceChanged.
    void setActiveSequence(std::shared_ptr<const FCPXSequence> sequence);
    // Moves the playhead and tells playheadTimeChanged.
    void setPlayheadTime(timecode::MediaTime time);
    // Tells sequenceTimeRangeChanged: the sequence got longer or shorter.
    void changeSequenceTimeRange();

    // Observers added and not removed, alive or not.
    int observerCount() const;

private:
    void tell(void (FCPXTimelineObserver::*callback)());
    bool isAdded(const FCPXTimelineObserver *observer) const;

    mutable std::mutex lock_;
    std::shared_ptr<const FCPXSequence> sequence_;
    timecode::MediaTime playhead_ = timecode::MediaTime::zero();
    std::vector<std::weak_ptr<FCPXTimelineObserver>> observers_;
    // Held by whoever tells the observers, so that removing one waits for a call in progress.
    std::recursive_mutex telling_;
};

// An editor's host with one timeline.
class SimulatedFCPXHost final : public FCPXHost {
public:
    SimulatedFCPXHost() : timeline_(std::make_shared<SimulatedTimeline>()) {}

    std::shared_ptr<FCPXTimeline> timeline() const override { return timeline_; }
    SimulatedTimeline &simulatedTimeline() const { return *timeline_; }

private:
    std::shared_ptr<SimulatedTimeline> timeline_;
};

} // namespace platform
