#pragma once

#include "host/feedback/FeedbackService.h"

#include <QString>

#include <filesystem>

namespace tandrel {

// The line that tells the user how a send ended, in one or two short sentences of what happened
// and what happens next, and whether it reads as good news (a check mark) or as a problem (a
// warning sign). What went wrong in detail (an HTTP status and the server's body, the network
// layer's words) is in the log, not here. It promises that a record "will be sent
// automatically" only where that is true: the server is usable, the record is in the queue's
// file and the sender works the queue off (the host; the command-line tool leaves it to the
// host's next start). P is the queue's file, with "~" for the home folder. Where a host of
// this build has no server of its own, the tool's "when it next starts" reads "when it next
// starts with a feedback server configured".
//
//   server       outcome                      line                                      good
//   any          delivered                    Thanks! Feedback received (ID: <id>)      yes
//   usable       no connection, kept          No network right now — feedback is saved
//                                             and will be sent automatically.           yes
//                  (tool)                     No network right now — feedback is saved
//                                             in P; Embrik Host sends it when it next
//                                             starts.                                   yes
//   usable       no answer (slow server,      The feedback server did not answer —
//                connection closed), kept     feedback is saved and will be sent again
//                                             automatically.                            yes
//                  (tool)                     … — feedback is saved in P; Embrik Host
//                                             sends it again when it next starts.       yes
//   usable       not taken, kept              The feedback server did not take the
//                                             feedback — it is saved and will be tried
//                                             again automatically.                      no
//                  (tool)                     … — it is saved in P; Embrik Host tries
//                                             again when it next starts.                no
//   usable       not sent, not kept (host)    Feedback could not be sent or saved — it
//                                             will be tried again while Embrik Host
//                                             runs.                                     no
//                  (tool)                     Feedback could not be sent or kept — send
//                                             it again later.                           no
//   none         not sent                     Feedback cannot be sent from this build:
//                                             no feedback server is configured. It is
//                                             kept in P.  / … and it could not be kept.  no
//   refused      not sent                     Feedback cannot be sent with this feedback
//                                             server address: <the part not allowed>.
//                                             It is kept in P.  / … could not be kept.  no
struct FeedbackStatus {
    QString text;
    bool ok = false;

    static FeedbackStatus of(const FeedbackService::SendResult &result);

    // The file as the user may look for it: "~/…" inside the home folder.
    static QString shownPath(const std::filesystem::path &file);
};

} // namespace tandrel
