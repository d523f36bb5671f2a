#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QString>

#include <stdexcept>

namespace tandrel {

// Why the feedback server did not take a record. what() is the text users see.
class FeedbackError : public std::runtime_error {
public:
    enum class Case { httpError, invalidURL, invalidResponse };

    // The server answered with a status outside 200 to 299. The error keeps the body as the
    // service read it (its first 16 KiB, the rest dropped as it came); the description shows
    // its first 200 user-perceived characters ("HTTP 500: oops"), or none when it is not
    // UTF-8.
    static FeedbackError httpError(int statusCode, QByteArray body);
    // No usable server is configured; `description` says why ("No feedback server is
    // configured.", or which part of its address is not allowed).
    static FeedbackError invalidURL(const QString &description);
    // "Invalid response from the feedback server": the answer was no HTTP answer.
    static FeedbackError invalidResponse();

    Case kind() const { return kind_; }
    int statusCode() const { return statusCode_; }
    const QByteArray &body() const { return body_; }

private:
    FeedbackError(Case kind, const QString &description, int statusCode = 0, QByteArray body = {});

    Case kind_;
    int statusCode_;
    QByteArray body_;
};

// The post never got an HTTP answer: no connection, a time-out, a refused certificate. what()
// is the network layer's own description.
class FeedbackTransportError : public std::runtime_error {
public:
    FeedbackTransportError(QNetworkReply::NetworkError code, const QString &description);

    // What kind of failure: no connection could be had (no network, nobody listening, no such
    // host); the server was reached but gave no answer (it took too long, or closed the
    // connection first), so the record may even have been filed; or something else (a refused
    // certificate, a proxy that wants a password).
    enum class Kind { noConnection, noAnswer, other };

    QNetworkReply::NetworkError code() const { return code_; }
    Kind kind() const;

private:
    QNetworkReply::NetworkError code_;
};

} // namespace tandrel
