#pragma once

#include <QUrl>

#include <string>

namespace tandrel {

// Addresses on the update server: the server's address (scheme, host, optional port and
// leading path) followed by a fixed path. The address follows the rule of every server of
// ours (platform::ServerAddress): "https" anywhere, "http" only to this machine, as tests
// serve it, and nothing but scheme, host, port and path.
struct UpdateServer {
    // Throws PluginUpdateInstaller::InstallError: `noUpdateServer` for an empty setting,
    // `updateServerRefused`, naming the part that is not allowed, for anything else that is
    // not such an address.
    static QUrl address(const std::string &server, const char *path);
};

} // namespace tandrel
