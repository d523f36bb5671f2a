#pragma once

#include "extension/TandrelFCPExtensionViewController.h"
#include "platform/proext/SimulatedFCPXHost.h"
#include "tools/tandrel-editor-sim/SimScript.h"

#include <QObject>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// The editor as the panel meets it: its own host with one timeline, registered for the panel
// (unless it plays an editor without one), and the panel in a window of its own with a title
// bar. Changes to the timeline are made on the main thread, or on a thread of their own as the
// editor may make them. What the panel shows is printed, a line for each change:
// "sequence: …", "timecode: …", "presets: …", "drop-status: …".
class EditorSimulation : public QObject {
    Q_OBJECT

public:
    struct Options {
        bool registersHost = true;
        bool launchesHost = true;
    };

    explicit EditorSimulation(Options options);
    ~EditorSimulation() override;

    platform::SimulatedTimeline &timeline() { return editor_->simulatedTimeline(); }
    TandrelFCPExtensionViewController &panel() { return *panel_; }
    QWidget &window() { return *window_; }

    void setFromThread(bool on) { fromThread_ = on; }
    bool fromThread() const { return fromThread_; }
    // Runs the change on the editor's thread: this one, or one of its own, waited for.
    void change(const std::function<void(platform::SimulatedTimeline &)> &change);

    // Drags the text onto the drop zone; whether the drop was taken.
    bool drop(const QString &xml);
    // Chooses the pop-up's item, from 0, as the user would; false when there is no such item
    // to choose.
    bool pick(int index);
    // What the panel shows in that place: "sequence", "timecode" or "drop-status".
    QString shown(const std::string &field) const;

    // Runs the commands one after another, each once the events of the one before are
    // handled, then calls `finished` with 0, or 1 after an expectation that was not met (its
    // reason on standard error), or 2 when a command could not be carried out.
    void run(std::vector<SimCommand> commands, std::function<void(int status)> finished);

private:
    void printChanges();
    void runNext();
    // Nothing when it went well, else the status to end with.
    std::optional<int> carryOut(const SimCommand &command);

    std::shared_ptr<platform::SimulatedFCPXHost> editor_;
    std::unique_ptr<QWidget> window_;
    TandrelFCPExtensionViewController *panel_;
    bool fromThread_ = false;
    std::vector<std::string> printed_;
    std::vector<SimCommand> commands_;
    size_t next_ = 0;
    std::function<void(int)> finished_;
};

} // namespace tandrel
