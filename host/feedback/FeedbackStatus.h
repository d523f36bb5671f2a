#pragma once

#include "host/feedback/FeedbackService.h"

#include <QString>

namespace tandrel {

// The line that tells the user how a send ended, and whether it reads as good news (a check
// mark) or as a problem (a warning sign):
//   delivered                          "Thanks! Feedback received (ID: <id>)"          good
//   no connection, record in the file  "No network right now — feedback is saved and
//                                       will be sent automatically."                   good
//   any other failure, record in the   the failure ("Invalid feedback URL",
//   file                               "HTTP 413: …"), then " — feedback is saved and
//                                       will be sent automatically."                   problem
//   not saved                          the failure                                     problem
struct FeedbackStatus {
    QString text;
    bool ok = false;

    static FeedbackStatus of(const FeedbackService::SendResult &result);
};

} // namespace tandrel
