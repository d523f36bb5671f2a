#pragma once

#include <QString>
#include <QUrl>

namespace platform {

// The address of one of our servers (feedback, plug-in updates) as a build or the environment
// gives it: "https://host[:port][/path]" anywhere, or "http://…" to this machine only (a
// loopback address or "localhost"), where nothing it carries crosses a network. Blanks around
// it and slashes at the end of its path do not count. Nothing else may be part of it: a user
// name or password would show wherever the address is shown or logged (an "@" anywhere counts
// as one, since a password may hold "/", "?" or "#"), and a query or a fragment would be cut
// off or misread once the server's fixed path follows.
class ServerAddress {
public:
    enum class Problem { none, empty, invalid, scheme, host, userInformation, query, fragment };

    explicit ServerAddress(const QString &text);

    Problem problem() const { return problem_; }
    bool isAllowed() const { return problem_ == Problem::none; }

    // The address with `path` after its own ("https://h/base" and "/x" give "https://h/base/x");
    // an empty URL unless the address is allowed.
    QUrl url(const QString &path) const;

    // The address as messages and logs may quote it: without its user name and password, also
    // where the rest of it is malformed, control characters escaped.
    QString shown() const;
    // The text with whatever stands between the scheme's slashes and the last "@" taken out
    // ("http://ada:pa/ss@[::1:8766" gives "http://[::1:8766", "http:/u:pw@h" gives "http:/h").
    static QString withoutUserInformation(const QString &text);

    // Which part of the address is not allowed, as the end of a sentence ("a user name or
    // password is not allowed in it"); empty when it is allowed.
    QString problemText() const;

    // What a client tells about its server: "No <role> server is configured." for an empty
    // address, "The <role> server "<shown>" is refused: <problemText>." for another that is not
    // allowed, and empty for an allowed one.
    QString refusal(const QString &role) const;

private:
    QString text_;
    QUrl url_;
    Problem problem_ = Problem::none;
    // What the URL parser found wrong, for `invalid`.
    QString parseError_;
};

} // namespace platform
