#include "host/app/HostRequest.h"

#include "host/query/WatchedLibrary.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <system_error>

namespace tandrel {

QByteArray HostRequest::encode() const {
    QJsonArray paths;
    for (const std::filesystem::path &library : libraries) {
        paths.append(QFile::decodeName(QByteArray::fromStdString(library.string())));
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("addLibraries"), paths}})
        .toJson(QJsonDocument::Compact);
}

std::optional<HostRequest> HostRequest::decode(const QByteArray &bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonValue paths = document.object().value(QStringLiteral("addLibraries"));
    if (!paths.isArray()) {
        return std::nullopt;
    }
    HostRequest request;
    for (const QJsonValue &path : paths.toArray()) {
        if (!path.isString()) {
            return std::nullopt;
        }
        request.libraries.emplace_back(QFile::encodeName(path.toString()).toStdString());
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
            QJsonObject{{QStringLiteral("library"),
                         QFile::decodeName(QByteArray::fromStdString(refusal.library.string()))},
                        {QStringLiteral("reason"), QString::fromStdString(refusal.reason)}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("refused"), refusals}})
        .toJson(QJsonDocument::Compact);
}

std::optional<HostAnswer> HostAnswer::decode(const QByteArray &bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonValue refusals = document.object().value(QStringLiteral("refused"));
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
        answer.refused.push_back(
            {QFile::encodeName(library.toString()).toStdString(), reason.toString().toStdString()});
    }
    return answer;
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
