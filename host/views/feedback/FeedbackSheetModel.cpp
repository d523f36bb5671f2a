#include "host/views/feedback/FeedbackSheetModel.h"

#include "core/model/DisplayConfig.h"
#include "host/feedback/FeedbackDraft.h"
#include "host/query/TimelineChoice.h"
#include "host/state/AppState.h"

#include <algorithm>

namespace tandrel {

FeedbackSheetModel::FeedbackSheetModel(QString herkunft) : herkunft_(std::move(herkunft)) {}

void FeedbackSheetModel::setScreenshotMitschicken(bool on, const Capture &capture) {
    if (on == screenshotMitschicken_) {
        return;
    }
    screenshotMitschicken_ = on;
    screenshotData_ = on && capture ? capture() : std::nullopt;
}

bool FeedbackSheetModel::canSend() const {
    return !sending_ && !text_.trimmed().isEmpty();
}

QString FeedbackSheetModel::sendButtonTitle() const {
    return sending_ ? QStringLiteral("Sending\u2026") : QStringLiteral("Send Feedback");
}

FeedbackPayload FeedbackSheetModel::beginSend(const QString &diagnose) {
    sending_ = true;
    FeedbackDraft draft;
    draft.text = text_;
    draft.submitterEmail = submitterEmail_;
    // A picture taken while the switch was on is not sent once it is off again.
    if (screenshotMitschicken_) {
        draft.screenshotPNG = screenshotData_;
    }
    draft.herkunft = herkunft_;
    draft.userName = identity_.userName;
    draft.appVersion = identity_.appVersion;
    draft.osVersion = identity_.osVersion;
    draft.diagnose = diagnose;
    return draft.payload();
}

void FeedbackSheetModel::showResult(const FeedbackService::SendResult &result) {
    status_ = FeedbackStatus::of(result);
}

QString FeedbackSheetModel::statusSymbol(const FeedbackStatus &status) {
    return status.ok ? QStringLiteral("checkmark.circle.fill")
                     : QStringLiteral("exclamationmark.circle.fill");
}

QString FeedbackSheetModel::formatBytes(qint64 count) {
    const double kilobytes = static_cast<double>(count) / 1024.0;
    if (kilobytes < 1024.0) {
        return QString::asprintf("%.0f KB", kilobytes);
    }
    return QString::asprintf("%.1f MB", kilobytes / 1024.0);
}

AppStateSummary FeedbackSheetModel::summary(const AppState &state) {
    return summary(state.watchedLibraries().size(), state.availableTimelines(),
                   state.activeTimelineID(), state.presets(), state.activePresetIndex());
}

AppStateSummary FeedbackSheetModel::summary(std::size_t watchedLibraries,
                                            const std::vector<TimelineChoice> &availableTimelines,
                                            const std::optional<std::string> &activeTimelineID,
                                            const std::vector<DisplayConfig> &presets,
                                            std::optional<std::size_t> activePresetIndex) {
    AppStateSummary summary;
    summary.watchedLibraries = static_cast<qsizetype>(watchedLibraries);
    if (activeTimelineID) {
        const auto active =
            std::find_if(availableTimelines.begin(), availableTimelines.end(),
                         [&](const TimelineChoice &choice) { return choice.id == *activeTimelineID; });
        if (active != availableTimelines.end()) {
            summary.activeTimeline = AppStateSummary::Timeline{
                QString::fromStdString(active->name), QString::fromStdString(active->library)};
        }
    }
    if (activePresetIndex && *activePresetIndex < presets.size()) {
        const DisplayConfig &preset = presets[*activePresetIndex];
        summary.activePreset = AppStateSummary::Preset{
            QString::fromStdString(preset.name), static_cast<qsizetype>(preset.elements.size())};
    }
    return summary;
}

} // namespace tandrel
