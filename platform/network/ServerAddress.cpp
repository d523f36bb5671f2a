#include "platform/network/ServerAddress.h"

#include "platform/network/TransportSecurity.h"

#include "core/support/UnicodeText.h"

namespace platform {

namespace {

// The text with its controls shown as every outside text shows them (withControlsShown).
QString escapingControls(const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    const std::string shown = tandrel::withControlsShown(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

// The parser's reason without the text it quotes ("Invalid port or port number out of range;
// source was …"), which may hold a password. For the same reason the character it names is
// dropped where the user name or password may hold it (in an address with an "@", a password
// with a "/" reads as a path), and elsewhere shown escaped: the reason goes into one-line status
// texts and the log.
QString reasonOf(const QUrl &url, bool mayHoldUserInformation) {
    QString reason = url.errorString().section(QStringLiteral("; source was"), 0, 0).trimmed();
    if (mayHoldUserInformation ||
        reason.contains(QLatin1String("user name"), Qt::CaseInsensitive) ||
        reason.contains(QLatin1String("password"), Qt::CaseInsensitive)) {
        reason = reason.section(QStringLiteral(" (character"), 0, 0);
    }
    if (!reason.isEmpty()) {
        reason[0] = reason[0].toLower();
    }
    return escapingControls(reason);
}

} // namespace

ServerAddress::ServerAddress(const QString &text) : text_(text.trimmed()) {
    if (text_.isEmpty()) {
        problem_ = Problem::empty;
        return;
    }
    url_ = QUrl(text_, QUrl::StrictMode);
    // QUrl gives the scheme in lower case.
    const QString scheme = url_.scheme();
    // An "@" anywhere may end a user name or password, however the rest reads: in
    // "http://ada:pa/ss@host" the parser takes "ada" for the host and the rest for a path.
    const bool mayHoldUserInformation = text_.contains(u'@');
    if (!url_.isValid()) {
        problem_ = Problem::invalid;
        parseError_ = reasonOf(url_, mayHoldUserInformation);
    } else if (scheme != QLatin1String("https") && scheme != QLatin1String("http")) {
        problem_ = Problem::scheme;
    } else if (url_.host().isEmpty()) {
        problem_ = Problem::host;
    } else if (!url_.userInfo().isEmpty() || mayHoldUserInformation) {
        problem_ = Problem::userInformation;
    } else if (url_.hasQuery()) {
        problem_ = Problem::query;
    } else if (url_.hasFragment()) {
        problem_ = Problem::fragment;
    } else if (!isSecureOrLoopbackURL(url_)) {
        problem_ = Problem::scheme;
    }
}

QUrl ServerAddress::url(const QString &path) const {
    if (!isAllowed()) {
        return {};
    }
    QUrl url = url_;
    QString base = url.path();
    while (base.endsWith(u'/')) {
        base.chop(1);
    }
    url.setPath(base + path);
    return url;
}

QString ServerAddress::shown() const {
    const QString text = withoutUserInformation(text_);
    const QUrl tolerant(text, QUrl::TolerantMode);
    if (tolerant.isValid() && !tolerant.host().isEmpty()) {
        return escapingControls(tolerant.toString(QUrl::RemoveUserInfo));
    }
    return escapingControls(text);
}

QString ServerAddress::withoutUserInformation(const QString &text) {
    // A password may hold "/", "?", "#" and "@" itself, and an address may have lost a slash
    // of its scheme: whatever stands between the scheme (with the slashes after it, however
    // many) and the last "@" of the whole text is taken for the user name and password.
    const qsizetype at = text.lastIndexOf(u'@');
    if (at < 0) {
        return text;
    }
    qsizetype start = 0;
    const qsizetype colon = text.indexOf(u':');
    // "scheme:/…": letters first, then letters, digits, "+", "-" and "."; without a slash after
    // its ":", "ada:pw@host" is a user name and password.
    bool scheme = colon > 0 && colon < at && colon + 1 < text.size() && text[colon + 1] == u'/' &&
                  text[0].isLetter() && text[0].unicode() < 0x80;
    for (qsizetype i = 1; scheme && i < colon; ++i) {
        const char16_t c = text[i].unicode();
        scheme = c < 0x80 && (QChar(c).isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.');
    }
    if (scheme) {
        start = colon + 1;
        while (start < at && text[start] == u'/') {
            ++start;
        }
    }
    return text.left(start) + text.mid(at + 1);
}

QString ServerAddress::problemText() const {
    switch (problem_) {
    case Problem::none:
        return {};
    case Problem::empty:
        return QStringLiteral("no address is set");
    case Problem::invalid:
        return parseError_.isEmpty()
                   ? QStringLiteral("it is no valid address")
                   : QStringLiteral("it is no valid address (%1)").arg(parseError_);
    case Problem::scheme:
        return QStringLiteral("it must use https, or http to this machine");
    case Problem::host:
        return QStringLiteral("it names no host");
    case Problem::userInformation:
        return QStringLiteral("a user name or password is not allowed in it");
    case Problem::query:
        return QStringLiteral("a query (\u201c?\u2026\u201d) is not allowed in it");
    case Problem::fragment:
        return QStringLiteral("a fragment (\u201c#\u2026\u201d) is not allowed in it");
    }
    return {};
}

QString ServerAddress::refusal(const QString &role) const {
    switch (problem_) {
    case Problem::none:
        return {};
    case Problem::empty:
        return QStringLiteral("No %1 server is configured.").arg(role);
    default:
        return QStringLiteral("The %1 server \"%2\" is refused: %3.")
            .arg(role, shown(), problemText());
    }
}

} // namespace platform
