#include "host/feedback/FeedbackStatus.h"

#include "core/support/ApplicationSupport.h"
#include "core/support/UnicodeText.h"

#include <QFile>

namespace tandrel {

namespace {

using Server = FeedbackService::Server;

QString queueFileOf(const FeedbackService::SendResult &result) {
    return result.retryQueueFile ? FeedbackStatus::shownPath(*result.retryQueueFile)
                                 : QStringLiteral("the retry queue's file");
}

// ". It is kept in <file>." or ", and it could not be kept.", after a sentence without its
// full stop.
QString whereKept(const FeedbackService::SendResult &result) {
    if (result.savedForRetry) {
        return QStringLiteral(". It is kept in %1.").arg(queueFileOf(result));
    }
    return QStringLiteral(", and it could not be kept.");
}

} // namespace

QString FeedbackStatus::shownPath(const std::filesystem::path &file) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(file.lexically_normal()));
    const std::filesystem::path home = homeDirectory();
    if (!home.empty()) {
        QString prefix = QFile::decodeName(QByteArray::fromStdString(home.lexically_normal()));
        if (!prefix.endsWith(u'/')) {
            prefix += u'/';
        }
        if (path.startsWith(prefix)) {
            return QStringLiteral("~/") + path.mid(prefix.size());
        }
    }
    return path;
}

FeedbackStatus FeedbackStatus::of(const FeedbackService::SendResult &result) {
    if (result.recordID) {
        // The server's own words: shown as every outside text is, whatever it sent.
        const std::string id = shownName(result.recordID->toStdString(), shownNameCharacters);
        return {
            QStringLiteral("Thanks! Feedback received (ID: %1)").arg(QString::fromStdString(id)),
            true};
    }
    switch (result.server) {
    case Server::none:
        return {QStringLiteral("Feedback cannot be sent from this build: no feedback server is "
                               "configured") +
                    whereKept(result),
                false};
    case Server::refused:
        return {QStringLiteral("Feedback cannot be sent with this feedback server address: ") +
                    result.serverProblem + whereKept(result),
                false};
    case Server::usable:
        break;
    }
    if (!result.savedForRetry) {
        // A host keeps it in memory and tries again; the tool's run ends here.
        return {result.retriesHere
                    ? QStringLiteral("Feedback could not be sent or saved \u2014 it will be tried "
                                     "again while Embrik Host runs.")
                    : QStringLiteral("Feedback could not be sent or kept \u2014 send it again "
                                     "later."),
                false};
    }
    // What happened, for the host that sends the record again itself and for the tool, which
    // leaves it to a host's next start (%1 the file, %2 when that host sends it).
    struct Line {
        const char *host;
        const char *tool;
        bool ok;
    };
    // A slow server, or one that closed the connection, is no missing network. Had it filed the
    // record before it went quiet, the retry files it twice; nothing on this side can tell.
    // Refused, an answer that was no answer, a refused certificate: it may go through later,
    // or never; the user should not send it again, or it is filed twice.
    const Line line =
        result.connectivityFailure
            ? Line{"No network right now \u2014 feedback is saved and will be sent automatically.",
                   "No network right now \u2014 feedback is saved in %1; Embrik Host sends it %2.",
                   true}
        : result.noAnswer
            ? Line{"The feedback server did not answer \u2014 feedback is saved and will be sent "
                   "again automatically.",
                   "The feedback server did not answer \u2014 feedback is saved in %1; Embrik "
                   "Host sends it again %2.",
                   true}
            : Line{"The feedback server did not take the feedback \u2014 it is saved and will be "
                   "tried again automatically.",
                   "The feedback server did not take the feedback \u2014 it is saved in %1; "
                   "Embrik Host tries again %2.",
                   false};
    if (result.retriesHere) {
        return {QString::fromUtf8(line.host), line.ok};
    }
    // A host of this build sends it only when it has a server, its own or one from the
    // environment.
    const QString nextStart = result.hostHasServer
                                  ? QStringLiteral("when it next starts")
                                  : QStringLiteral("when it next starts with a feedback server "
                                                   "configured");
    return {QString::fromUtf8(line.tool).arg(queueFileOf(result), nextStart), line.ok};
}

} // namespace tandrel
