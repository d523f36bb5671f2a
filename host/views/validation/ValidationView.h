#pragma once

#include "host/views/validation/ValidationFileChooser.h"
#include "host/views/validation/ValidationRunController.h"

#include <QWidget>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class QMimeData;
class QVBoxLayout;

namespace tandrel {

class AppState;
class ReportDetails;
class ReportSummary;
class SymbolLabel;
class ValidationDropZone;

// The content of the "Validate Against FCPXML" window: the FCPXML check of the timeline that
// is active in the host. Under a header naming that timeline, it shows a notice while no
// timeline is selected; otherwise a drop zone that takes an exported file by drag and drop
// or by its chooser, and under it the outcome of the newest check: the failure's text, or
// the report's verdict and lists.
//
// It also checks the export the editor panel leaves for the host (the state object's
// pending dropped XML): the one pending when the view comes on screen, and each one that
// becomes pending while it is shown, clearing it first, so each is checked once. While no
// timeline is selected an export stays pending: checked then it could only fail, so it is
// checked as soon as a timeline is.
//
// A view starts with no file and no outcome: the window makes a new one each time it opens.
// When the layout editor's "Validate" panel opens it (its expand button), it shows the
// panel's check instead: the one handed over as it comes on screen, or while it is shown
// (ValidationHandover).
class ValidationView : public QWidget {
    Q_OBJECT

public:
    class HeaderBar;
    class NoTimelineNotice;

    // Rows shown per list of the report.
    static constexpr size_t displayCap = 200;
    static constexpr QSize minimumContentSize{520, 460};
    static constexpr QSize idealContentSize{720, 680};

    ValidationView(AppState &state, ValidationRunController::RunFunction run,
                   ValidationFileChooser::Choose chooseFile = &ValidationFileChooser::choose,
                   QWidget *parent = nullptr);

    ValidationRunController &controller() const { return *controller_; }

    // Checks the file: what a drop, the chooser and a pending export do.
    void run(const std::filesystem::path &fcpxml);
    // Shows the chooser and checks the file chosen; a cancelled chooser changes nothing.
    void chooseFile();
    // What the drop zone does with a drop: checks each FCPXML file or bundle in it. Always
    // accepts.
    bool handleDrop(const QMimeData &data);

    QSize sizeHint() const override { return idealContentSize; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    // The panel's check, then the editor panel's export: what the view takes while shown.
    void takeHandover();

    AppState &state_;
    ValidationFileChooser::Choose chooseFile_;
    ValidationRunController *controller_;
    HeaderBar *header_;
    NoTimelineNotice *notice_;
    ValidationDropZone *dropZone_;
    SymbolLabel *error_;
    QVBoxLayout *content_;
    ReportSummary *summary_ = nullptr;
    ReportDetails *details_ = nullptr;
    // What the report views were built from.
    std::shared_ptr<const TimelineValidator::ValidationReport> shownReport_;
    std::optional<std::string> shownTimelineName_;
};

} // namespace tandrel
