#include "host/feedback/FeedbackStatus.h"

namespace tandrel {

FeedbackStatus FeedbackStatus::of(const FeedbackService::SendResult &result) {
    if (result.recordID) {
        return {QStringLiteral("Thanks! Feedback received (ID: %1)").arg(*result.recordID), true};
    }
    // Only a record that is safely on disk may be promised to go out later.
    if (result.connectivityFailure && result.savedForRetry) {
        return {QStringLiteral("No network right now \u2014 feedback is saved and will be sent "
                               "automatically."),
                true};
    }
    // A refused record goes out again by itself all the same: a bare failure would have the
    // user send it once more, and the server file it twice.
    if (result.savedForRetry) {
        return {result.failure +
                    QStringLiteral(" \u2014 feedback is saved and will be sent automatically."),
                false};
    }
    return {result.failure, false};
}

} // namespace tandrel
