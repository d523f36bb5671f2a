#include "host/feedback/FeedbackDraft.h"

namespace tandrel {

FeedbackPayload FeedbackDraft::payload() const {
    FeedbackPayload payload;
    payload.text = text.toStdString();
    payload.userName = userName.toStdString();
    payload.appVersion = appVersion.toStdString();
    payload.osVersion = osVersion.toStdString();
    payload.appModule = (QStringLiteral("Embrik \u2013 ") + herkunft).toStdString();
    payload.diagnose = diagnose.toStdString();
    if (screenshotPNG) {
        payload.screenshotPNG.emplace(screenshotPNG->begin(), screenshotPNG->end());
    }
    if (const QString address = submitterEmail.trimmed(); !address.isEmpty()) {
        payload.submitterEmail = address.toStdString();
    }
    return payload;
}

} // namespace tandrel
