#pragma once

#include "host/views/validation/ValidationFileChooser.h"
#include "host/views/validation/ValidationRunController.h"

#include <QWidget>

#include <filesystem>
#include <memory>

class QMimeData;
class QVBoxLayout;

namespace tandrel {

class AppState;
class ValidationDropZone;
class WrappingLabel;

// The compact FCPXML check of the layout editor's "Validate" panel: a drop zone for the
// export of the timeline active in the host, and under it the newest check's failure, or its
// verdict with the summary line and two counts (the window shows the lists). The whole tile
// takes drops, also while no timeline is selected, when it shows only a line saying so; a
// check started then fails, and its message shows once a timeline is. It never takes the
// editor panel's pending export: that is the window's.
//
// A tile starts with no file and no outcome: the panel makes a new one each time it opens.
// Its panel's expand button hands its check to the validation window (handOver()), which then
// shows the same report with the lists.
class ValidationTileContent : public QWidget {
    Q_OBJECT

public:
    ValidationTileContent(
        AppState &state, ValidationRunController::RunFunction run,
        ValidationFileChooser::ChooseLater chooseFile = &ValidationFileChooser::openOver,
        QWidget *parent = nullptr);

    ValidationRunController &controller() const { return *controller_; }

    void run(const std::filesystem::path &fcpxml);
    // Opens the file chooser and returns; the file chosen is checked once it is chosen.
    void chooseFile();
    bool handleDrop(const QMimeData &data);
    // Leaves its check for the validation window to show (ValidationHandover); nothing before
    // the first file.
    void handOver();

    // One fact of the verdict panel: the label above its value.
    static QWidget *factRow(const QString &label, const QString &value);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The verdict panel of a report.
    static QWidget *summary(const TimelineValidator::ValidationReport &report);
    void refresh();

    AppState &state_;
    ValidationFileChooser::ChooseLater chooseFile_;
    ValidationRunController *controller_;
    QWidget *noTimeline_;
    ValidationDropZone *dropZone_;
    WrappingLabel *error_;
    QVBoxLayout *rows_;
    QWidget *summary_ = nullptr;
    std::shared_ptr<const TimelineValidator::ValidationReport> shownReport_;
};

} // namespace tandrel
