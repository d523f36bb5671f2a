#pragma once

#include <QUrl>

#include <string>

namespace tandrel {

// Addresses on the update server: the server's address (scheme, host, optional port and
// leading path) followed by a fixed path. Only "https" leaves the machine; "http" is taken
// only to this machine (a loopback address or "localhost"), as tests serve it.
struct UpdateServer {
    // Throws PluginUpdateInstaller::InstallError: `noUpdateServer` for an empty setting,
    // `updateServerRefused` for anything else that is not such an address.
    static QUrl address(const std::string &server, const char *path);
};

} // namespace tandrel
