#include "host/update/UpdateServer.h"

#include "host/update/PluginUpdateInstaller.h"
#include "platform/network/TransportSecurity.h"

namespace tandrel {

QUrl UpdateServer::address(const std::string &server, const char *path) {
    const QString text = QString::fromStdString(server).trimmed();
    if (text.isEmpty()) {
        throw PluginUpdateInstaller::InstallError::noUpdateServer();
    }
    QUrl url(text, QUrl::StrictMode);
    const bool allowed = url.isValid() && !url.host().isEmpty() && url.userInfo().isEmpty() &&
                         !url.hasQuery() && !url.hasFragment() &&
                         platform::isSecureOrLoopbackURL(url);
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
