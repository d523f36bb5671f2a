#include "host/views/validation/ValidationRunController.h"

#include "host/state/AppState.h"
#include "platform/runtime/MainQueue.h"

#include <QCoreApplication>
#include <QDragMoveEvent>
#include <QFile>
#include <QMimeData>
#include <QPointer>
#include <QThread>
#include <QUrl>

namespace tandrel {

ValidationRunController::ValidationRunController(RunFunction run, QObject *parent)
    : QObject(parent), run_(std::move(run)) {}

ValidationRunController::RunFunction
ValidationRunController::checkingActiveTimeline(AppState &state) {
    return [&state](const std::filesystem::path &fcpxml, Completion done) {
        state.validateActiveTimeline(
            fcpxml, nullptr, [done = std::move(done)](AppState::ValidationResult result) {
                if (auto *report = std::get_if<TimelineValidator::ValidationReport>(&result)) {
                    done(std::move(*report));
                    return;
                }
                try {
                    std::rethrow_exception(std::get<std::exception_ptr>(result));
                } catch (const std::exception &error) {
                    done(ValidationRuns::Failure{error.what()});
                } catch (...) {
                    done(ValidationRuns::Failure{"The check failed for an unknown reason."});
                }
            });
    };
}

void ValidationRunController::run(const std::filesystem::path &fcpxml) {
    newestFile_ = fcpxml;
    const ValidationRuns::RunNumber number = runs_->begin(fcpxml);
    emit changed();
    run_(fcpxml, [runs = runs_, number, self = QPointer(this), home = thread()](Outcome outcome) {
        if (!runs->finish(number, std::move(outcome))) {
            return;
        }
        // The pointer is only read on the controller's own thread.
        const auto tell = [self] {
            if (self) {
                emit self->changed();
            }
        };
        if (QThread::currentThread() == home) {
            tell();
        } else {
            platform::MainQueue::async(QCoreApplication::instance(), tell);
        }
    });
}

std::optional<ValidationRunController::Handover> ValidationRunController::handover() const {
    if (!newestFile_) {
        return std::nullopt;
    }
    return Handover{*newestFile_, state()};
}

void ValidationRunController::adopt(const Handover &handover) {
    const ValidationRuns::State &given = handover.state;
    if (given.isRunning) {
        // Its outcome reaches only the view that started it: this view checks the file too.
        run(handover.file);
        return;
    }
    std::optional<Outcome> outcome;
    if (given.report) {
        outcome = *given.report;
    } else if (given.errorMessage) {
        outcome = ValidationRuns::Failure{*given.errorMessage};
    }
    if (!outcome) {
        return;
    }
    newestFile_ = handover.file;
    runs_->finish(runs_->begin(handover.file), std::move(*outcome));
    emit changed();
}

bool ValidationRunController::offersFiles(const QMimeData &data) {
    return data.hasUrls();
}

void ValidationRunController::acceptFileDrag(QDragMoveEvent &event) {
    if (offersFiles(*event.mimeData())) {
        event.acceptProposedAction();
    }
}

std::vector<std::filesystem::path> ValidationRunController::droppedFiles(const QMimeData &data) {
    std::vector<std::filesystem::path> files;
    for (const QUrl &url : data.urls()) {
        if (!url.isLocalFile()) {
            continue;
        }
        std::filesystem::path file(QFile::encodeName(url.toLocalFile()).toStdString());
        if (ValidationRuns::acceptsDroppedFile(file)) {
            files.push_back(std::move(file));
        }
    }
    return files;
}

bool ValidationRunController::handleDrop(const QMimeData &data) {
    for (const std::filesystem::path &file : droppedFiles(data)) {
        run(file);
    }
    return true;
}

void ValidationRunController::takePendingDrop(AppState &state) {
    const std::optional<std::filesystem::path> pending = state.pendingXMLDropURL();
    // Without a timeline the check could only fail, and the export would be spent on that:
    // it waits for a timeline instead.
    if (!pending || !state.activeTimelineID()) {
        return;
    }
    state.setPendingXMLDropURL(std::nullopt);
    run(*pending);
}

} // namespace tandrel
