// The editor panel inside the editor's own process, the sequence named by an attacker: its
// event loop keeps answering, it shows the name on one bounded line, and it writes no suite of
// megabytes for the host.
#include "core/support/UnicodeText.h"
#include "core/tests/HostileTexts.h"
#include "designkit/CorvaneElidingComboBox.h"
#include "extension/tests/PanelFixture.h"
#include "tools/testing/EventLoopWatch.h"

#include <QTimer>

namespace tandrel {
namespace {

using namespace std::chrono_literals;

// As the host's test holds its loop: 100 ms, twice that in the main thread's own time.
constexpr auto answerWithin = 2 * 100ms;
constexpr auto gapWithin = 2s;

using EditorPanelNames = testing::PanelTest;

TEST_F(EditorPanelNames, AHostileSequenceNameNeitherStallsThePanelNorFillsTheSuite) {
    const auto panel = openPanel();
    panel->show();
    testing::EventLoopWatch watch;
    for (const auto &hostile : testing::hostileTexts()) {
        watch.reset();
        // The editor at work: the sequence opened, its length changed, the playhead moved.
        QTimer::singleShot(0, panel.get(), [this, &hostile] {
            timeline().setActiveSequence(std::make_shared<platform::SimulatedSequence>(
                hostile.text, timecode::MediaTime(1, 25),
                platform::FCPXSequenceTimecodeFormat::nonDropFrame));
        });
        QTimer::singleShot(50, panel.get(), [this] { timeline().changeSequenceTimeRange(); });
        for (int frame = 0; frame < 10; ++frame) {
            QTimer::singleShot(60 + 10 * frame, panel.get(), [this, frame] {
                timeline().setPlayheadTime(timecode::MediaTime(90000 + frame, 25));
            });
        }
        watch.runFor(300ms);
        EXPECT_LT(watch.longestWork(), answerWithin) << hostile.what;
        EXPECT_LT(watch.longestGap(), gapWithin) << hostile.what;

        const std::string shown = panel->sequenceLabel()->text().toStdString();
        EXPECT_EQ(withStrayControlsShown(shown), shown) << hostile.what;
        EXPECT_LE(graphemeCount(shown), shownNameCharacters + 2) << hostile.what;
        const std::optional<QByteArray> stored = suite()->data(ExtensionBridge::activeSelectionKey);
        ASSERT_TRUE(stored) << hostile.what;
        EXPECT_LT(stored->size(), 100'000) << hostile.what;
        // What the host reads is the name as the bridge keeps it.
        const auto selection = ExtensionBridge::readActiveSelection();
        ASSERT_TRUE(selection && selection->sequenceName) << hostile.what;
        EXPECT_EQ(*selection->sequenceName, ExtensionBridge::keptName(hostile.text))
            << hostile.what;
    }
}

} // namespace
} // namespace tandrel
