#include "host/update/UpdateServer.h"

#include "host/update/PluginUpdateInstaller.h"

#include <QHostAddress>

namespace tandrel {

namespace {

bool isThisMachine(const QString &host) {
    return host.compare("localhost", Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

} // namespace

QUrl UpdateServer::address(const std::string &server, const char *path) {
    const QString text = QString::fromStdString(server).trimmed();
    if (text.isEmpty()) {
        throw PluginUpdateInstaller::InstallError::noUpdateServer();
    }
    QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    const bool allowed = url.isValid() && !url.host().isEmpty() && url.userInfo().isEmpty() &&
                         !url.hasQuery() && !url.hasFragment() &&
                         (scheme == "https" || (scheme == "http" && isThisMachine(url.host())));
    if (!allowed) {
        throw PluginUpdateInstaller::InstallError::updateServerRefused(server);
    }
    QString base = url.path();
    while (base.endsWith('/')) {
        base.chop(1);
    }
    url.setPath(base + QString::fromLatin1(path));
    return url;
}

} // namespace tandrel
