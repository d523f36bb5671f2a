#include "host/app/HostRequest.h"

#include "host/query/WatchedLibrary.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <system_error>

namespace tandrel {

namespace {

// Paths travel as text in the file system's encoding, so that any path comes back as it went.
QString pathText(const std::filesystem::path &path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

std::filesystem::path pathOf(const QString &text) {
    return QFile::encodeName(text).toStdString();
}

// The JSON object the bytes hold; nothing when they hold no JSON object.
std::optional<QJsonObject> objectOf(const QByteArray &bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    return document.object();
}

} // namespace

QByteArray HostRequest::encode() const {
    QJsonArray paths;
    for (const std::filesystem::path &library : libraries) {
        paths.append(pathText(library));
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("addLibraries"), paths}})
        .toJson(QJsonDocument::Compact);
}

std::optional<HostRequest> HostRequest::decode(const QByteArray &bytes) {
    const std::optional<QJsonObject> object = objectOf(bytes);
    if (!object) {
        return std::nullopt;
    }
    const QJsonValue paths = object->value(QStringLiteral("addLibraries"));
    if (!paths.isArray()) {
        return std::nullopt;
    }
    HostRequest request;
    for (const QJsonValue &path : paths.toArray()) {
        if (!path.isString()) {
            return std::nullopt;
        }
        request.libraries.push_back(pathOf(path.toString()));
    }
    return request;
}

std::optional<std::string> HostRequest::refusalOf(const std::filesystem::path &library) {
    std::error_code error;
    if (!std::filesystem::is_directory(library, error)) {
        return "no library folder at " + library.string();
    }
    if (!WatchedLibrary::isLibraryFolder(WatchedLibrary::folderOf(library))) {
        return library.string() + " is no library (its name must end in .fcpbundle)";
    }
    return std::nullopt;
}

QByteArray HostAnswer::encode() const {
    QJsonArray refusals;
    for (const Refusal &refusal : refused) {
        refusals.append(
            QJsonObject{{QStringLiteral("library"), pathText(refusal.library)},
                        {QStringLiteral("reason"), QString::fromStdString(refusal.reason)}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("refused"), refusals}})
        .toJson(QJsonDocument::Compact);
}

std::optional<HostAnswer> HostAnswer::decode(const QByteArray &bytes) {
    const std::optional<QJsonObject> object = objectOf(bytes);
    if (!object) {
        return std::nullopt;
    }
    const QJsonValue refusals = object->value(QStringLiteral("refused"));
    if (refusals.isUndefined()) {
        return HostAnswer{};
    }
    if (!refusals.isArray()) {
        return std::nullopt;
    }
    HostAnswer answer;
    for (const QJsonValue &value : refusals.toArray()) {
        const QJsonValue library = value.toObject().value(QStringLiteral("library"));
        const QJsonValue reason = value.toObject().value(QStringLiteral("reason"));
        if (!library.isString() || !reason.isString()) {
            return std::nullopt;
        }
        answer.refused.push_back({pathOf(library.toString()), reason.toString().toStdString()});
    }
    return answer;
}

HandOverOutcome HandOverOutcome::of(const HostRequest &request, bool answerTimedOut,
                                    const std::optional<QByteArray> &answer) {
    if (answerTimedOut) {
        // A host that does not answer may be hung: the user is told, whatever was asked.
        return {1,
                {request.libraries.empty()
                     ? "the running Embrik Host did not answer"
                     : "the running Embrik Host did not say whether it watches the "
                       "libraries given"}};
    }
    const std::optional<HostAnswer> decoded = answer ? HostAnswer::decode(*answer) : HostAnswer{};
    if (!decoded) {
        return {1, {"the running Embrik Host's answer could not be read"}};
    }
    HandOverOutcome outcome{decoded->refused.empty() ? 0 : 2, {}};
    for (const HostAnswer::Refusal &refusal : decoded->refused) {
        outcome.messages.push_back("the running Embrik Host refused " + refusal.library.string() +
                                   ": " + refusal.reason);
    }
    return outcome;
}

HostArguments HostArguments::parse(const std::vector<std::string> &arguments) {
    HostArguments parsed;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            parsed.help = true;
        } else if (argument == "--add-library") {
            if (i + 1 >= arguments.size()) {
                parsed.error = "--add-library needs a library";
                return parsed;
            }
            parsed.libraries.emplace_back(arguments[++i]);
        } else {
            parsed.error = "unknown argument " + argument;
            return parsed;
        }
    }
    return parsed;
}

} // namespace tandrel
