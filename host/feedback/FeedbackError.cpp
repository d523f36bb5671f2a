#include "host/feedback/FeedbackError.h"

#include "core/support/UnicodeText.h"

#include <QTextBoundaryFinder>

namespace tandrel {

namespace {

constexpr int shownBodyCharacters = 200;
// More than 200 characters of 31 code points take.
constexpr std::size_t maxLookedBytes = 65536;

// The first `limit` user-perceived characters (grapheme clusters) of the text.
QString leadingCharacters(const QString &text, int limit) {
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    qsizetype end = 0;
    while (count < limit) {
        const qsizetype next = boundaries.toNextBoundary();
        if (next < 0) {
            return text;
        }
        end = next;
        ++count;
    }
    return text.left(end);
}

QString httpDescription(int statusCode, const QByteArray &body) {
    const std::string_view bytes(body.constData(), static_cast<std::size_t>(body.size()));
    if (!isValidUTF8(bytes)) {
        return QStringLiteral("HTTP %1: ").arg(statusCode);
    }
    // The server's words: its first characters, each bounded, with their controls shown, so
    // that the description stays one line of a few hundred bytes wherever it goes.
    const QString leading = leadingCharacters(
        QString::fromUtf8(utf8Prefix(bytes, maxLookedBytes).data(),
                          static_cast<qsizetype>(utf8Prefix(bytes, maxLookedBytes).size())),
        shownBodyCharacters);
    const QByteArray utf8 = leading.toUtf8();
    const std::string shown = withControlsShown(truncatedToGraphemes(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
        shownBodyCharacters, ""));
    return QStringLiteral("HTTP %1: %2").arg(statusCode).arg(QString::fromStdString(shown));
}

} // namespace

FeedbackError::FeedbackError(Case kind, const QString &description, int statusCode, QByteArray body)
    : std::runtime_error(description.toStdString()), kind_(kind), statusCode_(statusCode),
      body_(std::move(body)) {}

FeedbackError FeedbackError::httpError(int statusCode, QByteArray body) {
    const QString description = httpDescription(statusCode, body);
    return FeedbackError(Case::httpError, description, statusCode, std::move(body));
}

FeedbackError FeedbackError::invalidURL(const QString &description) {
    return FeedbackError(Case::invalidURL, description);
}

FeedbackError FeedbackError::invalidResponse() {
    return FeedbackError(Case::invalidResponse,
                         QStringLiteral("Invalid response from the feedback server"));
}

FeedbackTransportError::FeedbackTransportError(QNetworkReply::NetworkError code,
                                               const QString &description)
    : std::runtime_error(description.toStdString()), code_(code) {}

FeedbackTransportError::Kind FeedbackTransportError::kind() const {
    switch (code_) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
        return Kind::noConnection;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TimeoutError:
    // The transfer time-out ends a request this way; nothing else here aborts one.
    case QNetworkReply::OperationCanceledError:
        return Kind::noAnswer;
    default:
        return Kind::other;
    }
}

} // namespace tandrel
