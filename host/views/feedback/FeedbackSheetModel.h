#pragma once

#include "host/feedback/FeedbackDiagnostics.h"
#include "host/feedback/FeedbackPayload.h"
#include "host/feedback/FeedbackService.h"
#include "host/feedback/FeedbackStatus.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

class AppState;
struct DisplayConfig;
struct TimelineChoice;

// What the feedback sheet holds between opening and closing, and the rules it follows: when a
// record may be sent, what it carries, and the line that tells how the send ended. One model
// per presentation; everything starts anew with the next one.
//
//     editing ──beginSend──▶ sending ──showResult──▶ result ──finishSend──▶ (closed)
class FeedbackSheetModel {
public:
    // Who and what sends, as the sheet shows it and the record carries it.
    struct Identity {
        QString userName;
        QString appVersion;
        QString osVersion;
    };
    // PNG bytes of the application's window, none when it cannot be had.
    using Capture = std::function<std::optional<QByteArray>()>;

    // `herkunft`: where the sheet was opened ("Main Window", "Settings"); fixed for its life.
    explicit FeedbackSheetModel(QString herkunft);

    const QString &herkunft() const { return herkunft_; }

    // Fills in the sender's identity (when the sheet is shown).
    void laden(Identity identity) { identity_ = std::move(identity); }
    const Identity &identity() const { return identity_; }

    const QString &text() const { return text_; }
    void setText(QString text) { text_ = std::move(text); }
    const QString &submitterEmail() const { return submitterEmail_; }
    void setSubmitterEmail(QString address) { submitterEmail_ = std::move(address); }

    // Turning the switch on takes a new picture (none when the capture fails); turning it off
    // drops the picture. Setting the value it already has changes nothing.
    void setScreenshotMitschicken(bool on, const Capture &capture);
    bool screenshotMitschicken() const { return screenshotMitschicken_; }
    const std::optional<QByteArray> &screenshotData() const { return screenshotData_; }

    // Not while a send is under way, and not for a text of only white space and newlines.
    bool canSend() const;
    bool sending() const { return sending_; }
    // "Sending…" from the start of a send until the sheet closes, else "Send Feedback".
    QString sendButtonTitle() const;

    // Starts a send: the record, with the text as typed, the address trimmed (none when
    // blank), the screenshot only while the switch is on, the module "Embrik – <herkunft>"
    // and `diagnose` as its diagnostics block.
    FeedbackPayload beginSend(const QString &diagnose);
    // The result line of the send; from then on the sheet shows it.
    void showResult(const FeedbackService::SendResult &result);
    void finishSend() { sending_ = false; }
    const std::optional<FeedbackStatus> &status() const { return status_; }
    // The result line's symbol: a check mark when it reads as good news, else a warning.
    static QString statusSymbol(const FeedbackStatus &status);

    // A byte count as "<n> KB" below 1024 KB ("0 KB", "1024 KB" for 1,048,575), else
    // "<n.n> MB" ("1.0 MB" for 1,048,576).
    static QString formatBytes(qint64 count);

    // What the host's state tells about the user's work: the number of watched libraries,
    // the first available timeline with the active id (none without a match), and the
    // active preset with its element count, if any.
    static AppStateSummary summary(const AppState &state);
    static AppStateSummary summary(std::size_t watchedLibraries,
                                   const std::vector<TimelineChoice> &availableTimelines,
                                   const std::optional<std::string> &activeTimelineID,
                                   const std::vector<DisplayConfig> &presets,
                                   std::optional<std::size_t> activePresetIndex);

private:
    QString herkunft_;
    Identity identity_;
    QString text_;
    QString submitterEmail_;
    bool screenshotMitschicken_ = false;
    std::optional<QByteArray> screenshotData_;
    bool sending_ = false;
    std::optional<FeedbackStatus> status_;
};

} // namespace tandrel
