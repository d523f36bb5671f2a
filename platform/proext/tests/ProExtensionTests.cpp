#include "platform/proext/ProExtension.h"
#include "platform/proext/SimulatedFCPXHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace platform {
namespace {

// Writes down each call and the thread it came on.
class RecordingObserver : public FCPXTimelineObserver {
public:
    void activeSequenceChanged() override { record("sequence"); }
    void playheadTimeChanged() override { record("playhead"); }
    void sequenceTimeRangeChanged() override { record("range"); }

    std::vector<std::string> calls;
    std::vector<std::thread::id> threads;
    std::function<void()> onCall;

private:
    void record(std::string call) {
        calls.push_back(std::move(call));
        threads.push_back(std::this_thread::get_id());
        if (onCall) {
            onCall();
        }
    }
};

TEST(ProExtension, TheSingletonGivesTheRegisteredHostOrNone) {
    EXPECT_EQ(ProExtensionHostSingleton(), nullptr);
    const auto host = std::make_shared<SimulatedFCPXHost>();
    ProExtensionRegisterHost(host);
    EXPECT_EQ(std::dynamic_pointer_cast<FCPXHost>(ProExtensionHostSingleton()), host);

    // A host of another kind is there, but it is no editor's host.
    ProExtensionRegisterHost(std::make_shared<ProExtensionHost>());
    EXPECT_NE(ProExtensionHostSingleton(), nullptr);
    EXPECT_EQ(std::dynamic_pointer_cast<FCPXHost>(ProExtensionHostSingleton()), nullptr);

    ProExtensionRegisterHost(nullptr);
    EXPECT_EQ(ProExtensionHostSingleton(), nullptr);
}

TEST(ProExtension, TheTimelineTellsItsLiveObserversOnTheThreadOfTheChange) {
    SimulatedTimeline timeline;
    auto observer = std::make_shared<RecordingObserver>();
    timeline.addTimelineObserver(observer);
    timeline.addTimelineObserver(observer);
    EXPECT_EQ(timeline.observerCount(), 1);

    const auto sequence = std::make_shared<SimulatedSequence>(
        "R 1", timecode::MediaTime(1, 25), FCPXSequenceTimecodeFormat::dropFrame);
    std::thread editor([&] {
        timeline.setActiveSequence(sequence);
        timeline.setPlayheadTime(timecode::MediaTime(90003, 25));
    });
    const std::thread::id editorThread = editor.get_id();
    editor.join();
    timeline.changeSequenceTimeRange();

    EXPECT_EQ(observer->calls, (std::vector<std::string>{"sequence", "playhead", "range"}));
    EXPECT_EQ(observer->threads,
              (std::vector{editorThread, editorThread, std::this_thread::get_id()}));
    EXPECT_EQ(timeline.activeSequence(), sequence);
    EXPECT_EQ(timeline.activeSequence()->name(), "R 1");
    EXPECT_EQ(timeline.playheadTime(), timecode::MediaTime(90003, 25));

    // Held weakly: one its owner let go is not told, and is forgotten on the next removal.
    auto gone = std::make_shared<RecordingObserver>();
    timeline.addTimelineObserver(gone);
    gone.reset();
    timeline.changeSequenceTimeRange();
    timeline.removeTimelineObserver(observer.get());
    EXPECT_EQ(timeline.observerCount(), 0);
    timeline.setActiveSequence(nullptr);
    EXPECT_EQ(observer->calls.size(), 4u);
    EXPECT_EQ(timeline.activeSequence(), nullptr);
}

TEST(ProExtension, AnObserverMayRemoveItselfOrAnotherWhileBeingTold) {
    SimulatedTimeline timeline;
    auto first = std::make_shared<RecordingObserver>();
    auto second = std::make_shared<RecordingObserver>();
    timeline.addTimelineObserver(first);
    timeline.addTimelineObserver(second);
    first->onCall = [&] {
        timeline.removeTimelineObserver(first.get());
        timeline.removeTimelineObserver(second.get());
    };
    timeline.changeSequenceTimeRange();
    timeline.changeSequenceTimeRange();
    EXPECT_EQ(first->calls.size(), 1u);
    EXPECT_TRUE(second->calls.empty());
}

} // namespace
} // namespace platform
