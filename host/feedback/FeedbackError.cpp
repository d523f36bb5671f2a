#include "host/feedback/FeedbackError.h"

#include "core/support/UnicodeText.h"

#include <QTextBoundaryFinder>

namespace tandrel {

namespace {

constexpr int shownBodyCharacters = 200;

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
    const QString text = isValidUTF8(bytes) ? QString::fromUtf8(body) : QString();
    return QStringLiteral("HTTP %1: %2")
        .arg(statusCode)
        .arg(leadingCharacters(text, shownBodyCharacters));
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
