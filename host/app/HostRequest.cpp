#include "host/app/HostRequest.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
