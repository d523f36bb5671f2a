#pragma once

#include "core/validation/ValidationRuns.h"

#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDragMoveEvent;
class QMimeData;

namespace tandrel {

class AppState;

// The validation flow that the window and the tile share: files arrive (a drop, the chooser,
// the editor's pending export), each starts a check of the active timeline through the
// injected run function, and the four fields the views show follow the newest check (see
// ValidationRuns). Belongs to the main thread; `changed` is emitted there after every change
// of the fields.
class ValidationRunController : public QObject {
    Q_OBJECT

public:
    using ValidationReport = TimelineValidator::ValidationReport;
    using Outcome = ValidationRuns::Outcome;
    // What one view hands to another that is to show the same check: the file checked last
    // and where its check stands.
    struct Handover {
        std::filesystem::path file;
        ValidationRuns::State state;
    };
    // Takes the outcome of one check, once, on any thread.
    using Completion = std::function<void(Outcome)>;
    // Checks the active timeline against an FCPXML file or bundle, the way the host state
    // does, and answers through `done`, at once or later, on any thread. Never throws: a
    // failure is an outcome. Must not be empty.
    using RunFunction = std::function<void(const std::filesystem::path &fcpxml, Completion done)>;

    explicit ValidationRunController(RunFunction run, QObject *parent = nullptr);

    // The host's run function: the state object checks its active timeline off the main
    // thread and answers on the main thread; a thrown error becomes the failure's text.
    static RunFunction checkingActiveTimeline(AppState &state);

    // The last report shown, or null.
    std::shared_ptr<const ValidationReport> report() const { return state().report; }
    bool isRunning() const { return state().isRunning; }
    std::optional<std::string> errorMessage() const { return state().errorMessage; }
    std::optional<std::string> loadedFileName() const { return state().loadedFileName; }
    ValidationRuns::State state() const { return runs_->state(); }

    // Starts a check of `fcpxml`: the file's name shows at once, the outcome is cleared, and
    // the view is running until this check ends. Checks still in flight go on, unseen.
    void run(const std::filesystem::path &fcpxml);

    // The file checked last and its outcome so far; none before the first file.
    std::optional<Handover> handover() const;
    // Shows what another view handed over as the newest check: its outcome as it stands, or,
    // while that check still runs, a check of the same file of its own. Nothing when the
    // other view had no outcome to give.
    void adopt(const Handover &handover);

    // Whether a drag offers file locations at all (a text/uri-list, maybe empty).
    static bool offersFiles(const QMimeData &data);
    // Takes a drag, as it enters or moves, when it offers file locations; leaves any other.
    static void acceptFileDrag(QDragMoveEvent &event);
    // The local files and folders of a drop that are checked, in their order: those named
    // ".fcpxml" or ".fcpxmld" in any case. Other locations and other items are left out.
    static std::vector<std::filesystem::path> droppedFiles(const QMimeData &data);
    // Starts one check per file of `droppedFiles`; accepts every drop, an empty one too.
    bool handleDrop(const QMimeData &data);
    // Takes the export the editor panel left for the host, when there is one and a timeline
    // is active to check it against: clears it in the state object, then checks it, so that
    // each pending export is checked once. Without a timeline it stays pending.
    void takePendingDrop(AppState &state);

signals:
    void changed();

private:
    const RunFunction run_;
    std::optional<std::filesystem::path> newestFile_;
    // Shared with the completions of checks in flight, which may end after the controller.
    const std::shared_ptr<ValidationRuns> runs_ = std::make_shared<ValidationRuns>();
};

} // namespace tandrel
