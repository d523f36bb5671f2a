#include "host/update/UpdateServer.h"

#include "host/update/PluginUpdateInstaller.h"
#include "platform/network/ServerAddress.h"

namespace tandrel {

QUrl UpdateServer::address(const std::string &server, const char *path) {
    const platform::ServerAddress address(QString::fromStdString(server));
    switch (address.problem()) {
    case platform::ServerAddress::Problem::none:
        return address.url(QString::fromLatin1(path));
    case platform::ServerAddress::Problem::empty:
        throw PluginUpdateInstaller::InstallError::noUpdateServer();
    default:
        throw PluginUpdateInstaller::InstallError::updateServerRefused(
            address.shown().toStdString(), address.problemText().toStdString());
    }
}

} // namespace tandrel
