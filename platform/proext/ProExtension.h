#pragma once

#include "timecode/core/MediaTime.h"

#include <cstdint>
#include <memory>
#include <string>

// What an editor gives the workflow extension it hosts: a host object, the host's timeline,
// the timeline's active sequence and its playhead, and observers of their changes. The editor
// (or the program that plays it) registers its host; the extension asks for it.
namespace platform {

// Any object an editor hands its extension as the host. The editor's own host is an FCPXHost;
// a host of another kind is not one the panel can work with.
class ProExtensionHost {
public:
    virtual ~ProExtensionHost() = default;
};

// How a sequence counts its timecode.
enum class FCPXSequenceTimecodeFormat : std::int64_t {
    nonDropFrame = 0,
    dropFrame = 1,
};

// A sequence open in the editor. Safe to read from any thread.
class FCPXSequence {
public:
    virtual ~FCPXSequence() = default;

    virtual std::string name() const = 0;
    // The length of one frame.
    virtual timecode::MediaTime frameDuration() const = 0;
    virtual FCPXSequenceTimecodeFormat timecodeFormat() const = 0;
};

// Told when the timeline changes. The editor calls from whatever thread it is on, the main
// thread or any other, so an observer moves its work where it belongs itself.
class FCPXTimelineObserver {
public:
    virtual ~FCPXTimelineObserver() = default;

    virtual void activeSequenceChanged() = 0;
    virtual void playheadTimeChanged() = 0;
    virtual void sequenceTimeRangeChanged() = 0;
};

// The editor's timeline. Safe to call from any thread.
class FCPXTimeline {
public:
    virtual ~FCPXTimeline() = default;

    // The sequence open in the timeline; none when no sequence is open.
    virtual std::shared_ptr<const FCPXSequence> activeSequence() const = 0;
    virtual timecode::MediaTime playheadTime() const = 0;

    // The timeline holds an observer weakly: it is told while its owner keeps it alive, and
    // never while it is being destroyed. Adding one twice tells it once.
    virtual void addTimelineObserver(const std::shared_ptr<FCPXTimelineObserver> &observer) = 0;
    // Once this returns, the observer is told nothing more.
    virtual void removeTimelineObserver(const FCPXTimelineObserver *observer) = 0;
};

// The editor's host.
class FCPXHost : public ProExtensionHost {
public:
    // The timeline; none when the editor offers none.
    virtual std::shared_ptr<FCPXTimeline> timeline() const = 0;
};

// The host the editor registered for this process; none when no editor hosts the extension.
std::shared_ptr<ProExtensionHost> ProExtensionHostSingleton();

// What the editor does before it loads its extension; none withdraws the host. Any thread.
void ProExtensionRegisterHost(std::shared_ptr<ProExtensionHost> host);

} // namespace platform
