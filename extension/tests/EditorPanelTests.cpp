// The panel offscreen, with the editor played by hand and a private app group.

#include "extension/tests/PanelFixture.h"

#include "designkit/CorvaneElidingComboBox.h"
#include "extension/XMLDropZoneView.h"
#include "host/bridge/DarwinObserverBox.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QVBoxLayout>

#include <thread>

namespace tandrel {
namespace {

using namespace std::chrono_literals;
using ExtensionBridge::PresetSummary;
using platform::FCPXSequenceTimecodeFormat;
using platform::SimulatedSequence;
using timecode::MediaTime;

const Uuid conform = *Uuid::fromString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
const Uuid colorist = *Uuid::fromString("0B4D1C9A-7F35-4A5E-9E7D-3C1A2B4D5E6F");
const Uuid unknown = *Uuid::fromString("11111111-2222-3333-4444-555555555555");

std::shared_ptr<SimulatedSequence> sequence(std::string name, MediaTime frame = MediaTime(1, 25)) {
    return std::make_shared<SimulatedSequence>(std::move(name), frame,
                                               FCPXSequenceTimecodeFormat::nonDropFrame);
}

QStringList items(const QComboBox &popUp) {
    QStringList titles;
    for (int i = 0; i < popUp.count(); ++i) {
        titles << popUp.itemText(i);
    }
    return titles;
}

// The user choosing the item at `index`, as the pop-up reports it.
void pick(QComboBox &popUp, int index) {
    popUp.setCurrentIndex(index);
    emit popUp.activated(index);
}

using EditorPanel = testing::PanelTest;

TEST_F(EditorPanel, OpensWithItsTextsAndConnectsOnTheNextTurn) {
    const auto panel = openPanel(false);
    EXPECT_EQ(panel->sequenceLabel()->text(), "No sequence");
    EXPECT_EQ(panel->timecodeLabel()->text(), "00:00:00:00");
    EXPECT_EQ(panel->dropStatusLabel()->text(), "");
    EXPECT_EQ(
        panel->dropZone()->label()->text(),
        QString::fromUtf8("Drop a Timeline / Clip here\nto compare against FCP\u2019s own XML"));
    EXPECT_EQ(items(*panel->presetPopUp()), QStringList{"No presets (open Embrik)"});
    EXPECT_FALSE(panel->presetPopUp()->isEnabled());
    EXPECT_EQ(panel->size(), QSize(300, 220));
    EXPECT_EQ(launches, 0);

    timeline().setPlayheadTime(MediaTime(90012, 25));
    platform::MainQueue::runPending();
    EXPECT_EQ(launches, 1);
    EXPECT_EQ(panel->sequenceLabel()->text(), "No sequence selected");
    EXPECT_EQ(panel->timecodeLabel()->text(), "01:00:00:14") << "without a sequence: 30 per second";
    timeline().setActiveSequence(sequence("Sample"));
    EXPECT_EQ(panel->sequenceLabel()->text(), "Sample");
    timeline().setPlayheadTime(MediaTime(90003, 25));
    EXPECT_EQ(panel->timecodeLabel()->text(), "01:00:00:03");
}

TEST_F(EditorPanel, WithoutTheEditorsHostItSaysSoButPresetsStillWork) {
    for (const auto &host : {std::shared_ptr<platform::ProExtensionHost>(),
                             std::make_shared<platform::ProExtensionHost>()}) {
        platform::ProExtensionRegisterHost(host);
        ExtensionBridge::publishPresets({{conform, "Conform"}, {colorist, "Colorist"}}, conform);
        const auto panel = openPanel();
        EXPECT_EQ(panel->sequenceLabel()->text(), "Failed to connect to Final Cut Pro");
        EXPECT_EQ(launches, host ? 2 : 1) << "the host is opened before the editor is asked";
        EXPECT_EQ(timeline().observerCount(), 0);

        forgetSelection();
        pick(*panel->presetPopUp(), 1);
        const auto selection = ExtensionBridge::readActiveSelection();
        ASSERT_TRUE(selection);
        EXPECT_EQ(selection->sequenceName, std::nullopt);
        EXPECT_EQ(selection->selectedPresetID, colorist);
    }
}

TEST_F(EditorPanel, EverySequenceAndTimeRangeChangePublishes) {
    ExtensionBridge::publishPresets({{conform, "Conform"}, {colorist, "Colorist"}}, colorist);
    auto panel = openPanel();
    EXPECT_EQ(timeline().observerCount(), 1);
    const auto published = [this] {
        const auto selection = ExtensionBridge::readActiveSelection();
        forgetSelection();
        return selection
                   ? std::optional(std::pair(selection->sequenceName, selection->selectedPresetID))
                   : std::nullopt;
    };
    using Published = std::optional<std::pair<std::optional<std::string>, std::optional<Uuid>>>;
    EXPECT_EQ(published(), Published({std::nullopt, colorist})) << "published on connecting";

    timeline().setActiveSequence(sequence("R 1"));
    EXPECT_EQ(published(), Published({"R 1", colorist}));
    EXPECT_EQ(panel->lastPublishedSequenceName(), "R 1");
    // The same name again, and a longer sequence: published all the same.
    timeline().setActiveSequence(sequence("R 1"));
    EXPECT_EQ(published(), Published({"R 1", colorist}));
    timeline().changeSequenceTimeRange();
    EXPECT_EQ(published(), Published({"R 1", colorist}));
    // The playhead is shown, never published.
    timeline().setPlayheadTime(MediaTime(37255, 10));
    EXPECT_EQ(panel->timecodeLabel()->text(), "01:02:05:12");
    EXPECT_EQ(published(), std::nullopt);

    pick(*panel->presetPopUp(), 0);
    EXPECT_EQ(panel->selectedPresetID(), conform);
    EXPECT_EQ(published(), Published({"R 1", conform}));

    timeline().setActiveSequence(nullptr);
    EXPECT_EQ(panel->sequenceLabel()->text(), "No sequence selected");
    EXPECT_EQ(panel->lastPublishedSequenceName(), std::nullopt);
    EXPECT_EQ(published(), Published({std::nullopt, conform}));

    // Once the panel is gone the editor no longer reaches it.
    panel.reset();
    EXPECT_EQ(timeline().observerCount(), 0);
}

TEST_F(EditorPanel, ThePlayheadIsInThePanelFaceWithDigitsOfOneWidth) {
    const auto panel = openPanel();
    QLabel &label = *panel->timecodeLabel();
    // The face of the panel's other texts, not a fixed-pitch one whose colons are digit-wide.
    EXPECT_FALSE(QFontInfo(label.font()).fixedPitch()) << label.font().family().toStdString();
    EXPECT_EQ(QFontInfo(label.font()).family().toStdString(),
              QFontInfo(panel->sequenceLabel()->font()).family().toStdString());
    // Every label of one pattern takes the same room, whatever its digits.
    label.setText("00:00:00;00");
    const int width = label.sizeHint().width();
    for (const char *text : {"11:11:11;11", "23:59:59;29", "18:47:36;05"}) {
        label.setText(text);
        EXPECT_EQ(label.sizeHint().width(), width) << text;
    }
    const QFontMetricsF metrics(label.font());
    qreal widest = 0;
    for (const QChar digit : QStringLiteral("0123456789")) {
        widest = std::max(widest, metrics.horizontalAdvance(digit));
    }
    EXPECT_GE(width, std::floor(8 * widest));
    EXPECT_LT(width, 11 * widest) << "the separators keep their own width";
}

TEST_F(EditorPanel, CallbacksFromAnotherThreadLandOnTheMainThread) {
    auto panel = openPanel();
    std::thread editorThread([this] {
        timeline().setActiveSequence(sequence("From elsewhere", MediaTime(1001, 30000)));
        timeline().setPlayheadTime(MediaTime(59999, 1000));
    });
    editorThread.join();
    EXPECT_EQ(panel->sequenceLabel()->text(), "No sequence selected")
        << "not yet on the main thread";
    EXPECT_GE(platform::MainQueue::pending(), 2);
    platform::MainQueue::runPending();
    EXPECT_EQ(panel->sequenceLabel()->text(), "From elsewhere");
    EXPECT_EQ(panel->timecodeLabel()->text(), "00:00:59:29");

    // Calls queued for a panel that is gone by the time they run do nothing.
    std::thread late([this] { timeline().changeSequenceTimeRange(); });
    late.join();
    panel.reset();
    forgetSelection();
    platform::MainQueue::runPending();
    EXPECT_EQ(ExtensionBridge::readActiveSelection(), std::nullopt);
}

TEST_F(EditorPanel, PresetsFollowTheHostAndAnUnknownActiveIDStandsUntilAPick) {
    ExtensionBridge::publishPresets({{conform, "Conform"}, {colorist, "Colorist"}}, unknown);
    const auto panel = openPanel();
    QComboBox &popUp = *panel->presetPopUp();
    EXPECT_TRUE(popUp.isEnabled());
    EXPECT_EQ(items(popUp), (QStringList{"Conform", "Colorist"}));
    EXPECT_EQ(popUp.currentIndex(), 0);
    EXPECT_EQ(panel->selectedPresetID(), unknown);
    timeline().setActiveSequence(sequence("Sample"));
    EXPECT_EQ(ExtensionBridge::readActiveSelection()->selectedPresetID, unknown);

    // The host's list changes; its notification reaches the panel through the main queue.
    ExtensionBridge::publishPresets({{colorist, "Colorist"}, {conform, "Conform Standard"}},
                                    conform);
    ExtensionBridge::DarwinObserverBox::shared().fire("com.ostrevale.tandrel.presetsChanged");
    platform::MainQueue::runPending();
    EXPECT_EQ(items(popUp), (QStringList{"Colorist", "Conform Standard"}));
    EXPECT_EQ(popUp.currentIndex(), 1);
    EXPECT_EQ(panel->selectedPresetID(), conform);

    // A list the panel cannot read is no list.
    suite()->setValue(ExtensionBridge::presetsKey, QByteArray("[{\"name\": 1}]"));
    ExtensionBridge::DarwinObserverBox::shared().fire("com.ostrevale.tandrel.presetsChanged");
    platform::MainQueue::runPending();
    EXPECT_EQ(items(popUp), QStringList{"No presets (open Embrik)"});
    EXPECT_FALSE(popUp.isEnabled());
    EXPECT_TRUE(panel->availablePresets().empty());
}

// A preset name of hundreds of characters is cut short in the pop-up and in its menu, which
// stays no wider than its bound instead of spreading across the screen, and the panel keeps its
// width.
TEST_F(EditorPanel, AVeryLongPresetNameIsCutInThePopUpAndItsMenu) {
    const std::string longName(616, 'N');
    ExtensionBridge::publishPresets({{conform, "Conform"}, {colorist, longName}}, colorist);
    const auto panel = openPanel();
    auto *popUp = qobject_cast<corvane::CorvaneElidingComboBox *>(panel->presetPopUp());
    ASSERT_NE(popUp, nullptr);
    // Held as the bridge carries a name: elided in the middle to 300 characters.
    ASSERT_EQ(popUp->currentText().toStdString(),
              std::string(150, 'N').append("\u2026").append(std::string(149, 'N')));
    panel->show();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(panel->width(), 300);
    EXPECT_TRUE(popUp->shownText().endsWith(QChar(0x2026)));
    EXPECT_EQ(popUp->popupWidth(), corvane::CorvaneElidingComboBox::maximumPopupWidth);
}

// The editor's window around the panel: a title bar above it.
struct PanelWindow {
    explicit PanelWindow(TandrelFCPExtensionViewController::Services services) {
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto *titleBar = new QLabel("Tandrel");
        titleBar->setFixedHeight(28);
        layout->addWidget(titleBar);
        panel = new TandrelFCPExtensionViewController(std::move(services));
        layout->addWidget(panel);
    }
    void settle() {
        platform::MainQueue::runPending();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
    }

    QWidget window;
    TandrelFCPExtensionViewController *panel;
};

TEST_F(EditorPanel, FiveReopeningsOfAWindowWithATitleBarKeepTheSize) {
    {
        PanelWindow first(services());
        first.window.show();
        first.settle();
        EXPECT_EQ(first.panel->size(), QSize(300, 220));
        // The user drags the window larger; the resize ends once the window keeps still.
        first.window.resize(first.window.size() + QSize(120, 80));
        first.settle();
        clock->advance(TandrelFCPExtensionViewController::liveResizeQuietPeriod / 2);
        EXPECT_EQ(ExtensionBridge::readPanelSize({1, 1}), (ExtensionBridge::PanelSize{1, 1}))
            << "still resizing: nothing stored yet";
        clock->advance(TandrelFCPExtensionViewController::liveResizeQuietPeriod);
        EXPECT_EQ(ExtensionBridge::readPanelSize({1, 1}), (ExtensionBridge::PanelSize{420, 300}));
        first.window.close();
    }
    for (int reopening = 1; reopening <= 5; ++reopening) {
        PanelWindow window(services());
        window.window.show();
        window.settle();
        EXPECT_EQ(window.panel->size(), QSize(420, 300)) << "reopening " << reopening;
        window.window.close();
        EXPECT_EQ(ExtensionBridge::readPanelSize({1, 1}), (ExtensionBridge::PanelSize{420, 300}))
            << "reopening " << reopening;
    }
}

} // namespace
} // namespace tandrel
