#pragma once

#include "extension/XMLDropFile.h"
#include "host/bridge/ExtensionBridge.h"
#include "platform/proext/ProExtension.h"
#include "platform/runtime/Timer.h"

#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;

namespace tandrel {

class TandrelTimelineObserverWrapper;
class XMLDropZoneView;

// The panel the editor shows for the extension. It follows the editor's active sequence and
// playhead, offers the host's presets and tells the host, through the bridge, which sequence
// is open and which preset the user picked, so that the host serves that timeline with that
// preset. It opens the host in the background when it connects, and saves XML dropped on its
// drop zone for the host to compare its timeline against.
//
// Main thread only. The editor's timeline callbacks may come from any thread and reach the
// panel through the main queue; every callback that outlives a call holds the panel weakly.
// The panel remembers its size (the size of its content, which is the size it reopens with)
// in the bridge's suite when it disappears and when a live resize ends, which it takes to be
// when no resize has followed for `liveResizeQuietPeriod`.
class TandrelFCPExtensionViewController : public QWidget {
    Q_OBJECT

public:
    struct Services {
        // The timer that ends a live resize.
        platform::TimerFactory timers;
        // Opens the host application without bringing it to the front; nothing when none.
        std::function<void()> launchHostApp;
        XMLDropFile::Services dropFile;

        // Event-loop timers, the installed host beside this program, the bridge's drop file.
        static Services standard();
    };

    static constexpr ExtensionBridge::PanelSize defaultSize{300, 220};
    static constexpr std::chrono::milliseconds liveResizeQuietPeriod{400};
    static constexpr const char *hostBundleIdentifier = "com.ostrevale.tandrel.host";

    // Builds the view, fills the pop-up from the bridge, starts listening for the host's
    // presets, and connects to the editor from the next turn of the main queue.
    explicit TandrelFCPExtensionViewController(Services services = Services::standard(),
                                               QWidget *parent = nullptr);
    ~TandrelFCPExtensionViewController() override;

    // The playhead as the panel shows it (see PlayheadTimecode).
    static QString formatTimecode(timecode::MediaTime time, const platform::FCPXSequence *sequence);
    // Opens the host application, unraised, when it is installed beside this program.
    static void launchHostAppIfNeeded();

    QLabel *sequenceLabel() const { return sequenceLabel_; }
    QLabel *timecodeLabel() const { return timecodeLabel_; }
    QComboBox *presetPopUp() const { return presetPopUp_; }
    XMLDropZoneView *dropZone() const { return dropZone_; }
    QLabel *dropStatusLabel() const { return dropStatusLabel_; }

    const std::vector<ExtensionBridge::PresetSummary> &availablePresets() const {
        return availablePresets_;
    }
    const std::optional<Uuid> &selectedPresetID() const { return selectedPresetID_; }
    const std::optional<std::string> &lastPublishedSequenceName() const {
        return lastPublishedSequenceName_;
    }

    // The pop-up's action: publishes the preset picked with the open sequence.
    void presetPicked();

    // The stored size, as the panel opened.
    QSize sizeHint() const override;

signals:
    // Something the panel shows changed: a label or the pop-up.
    void displayChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class TandrelTimelineObserverWrapper;

    void buildView();
    void viewDidLoad();
    void viewDidAppear();
    void viewWillDisappear();
    void setupFCPXHost();
    void handleSequenceChanged();
    void handlePlayheadChanged();
    void reloadPresetsFromBridge();
    void handleDroppedXML(const QString &xml);
    void saveSize() const;

    Services services_;
    std::shared_ptr<platform::FCPXHost> host_;
    std::shared_ptr<platform::FCPXTimeline> timeline_;
    std::shared_ptr<TandrelTimelineObserverWrapper> timelineObserver_;
    QLabel *sequenceLabel_ = nullptr;
    QLabel *timecodeLabel_ = nullptr;
    QComboBox *presetPopUp_ = nullptr;
    XMLDropZoneView *dropZone_ = nullptr;
    QLabel *dropStatusLabel_ = nullptr;
    std::vector<ExtensionBridge::PresetSummary> availablePresets_;
    std::optional<Uuid> selectedPresetID_;
    std::optional<std::string> lastPublishedSequenceName_;
    // Runs while a live resize goes on; present from appearing to disappearing.
    std::unique_ptr<platform::Timer> windowResizeObserver_;
    QSize preferredContentSize_;
};

// The panel's observer of the editor's timeline. The editor calls it from any thread; each
// call reaches the panel on the main thread, while the panel exists.
class TandrelTimelineObserverWrapper final : public platform::FCPXTimelineObserver {
public:
    explicit TandrelTimelineObserverWrapper(TandrelFCPExtensionViewController *viewController)
        : viewController_(viewController) {}

    void activeSequenceChanged() override;
    void playheadTimeChanged() override;
    void sequenceTimeRangeChanged() override;

private:
    // At once on the main thread, else queued to it; either way only while the panel exists.
    void forwardToMain(void (TandrelFCPExtensionViewController::*action)());

    QPointer<TandrelFCPExtensionViewController> viewController_;
};

} // namespace tandrel
