#pragma once

#include "host/feedback/FeedbackPayload.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tandrel {

// A feedback record as the user leaves it in the form, with the facts that go along; its
// payload is what the form sends.
struct FeedbackDraft {
    // Sent as typed, surrounding white space included.
    QString text;
    // Sent trimmed; blank means no address.
    QString submitterEmail;
    // The screenshot, when the user chose to attach one.
    std::optional<QByteArray> screenshotPNG;
    // Where the form was opened ("Main Window", "Settings"); the record's module is
    // "Embrik – " and this.
    QString herkunft;
    QString userName;
    QString appVersion;
    QString osVersion;
    QString diagnose;

    FeedbackPayload payload() const;
};

} // namespace tandrel
