#include "platform/network/TransportSecurity.h"

#include <QHostAddress>

namespace platform {

bool isSecureOrLoopbackURL(const QUrl &url) {
    // QUrl gives the scheme in lower case.
    if (url.scheme() == QLatin1String("https")) {
        return true;
    }
    const QString host = url.host();
    return url.scheme() == QLatin1String("http") &&
           (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
            QHostAddress(host).isLoopback());
}

} // namespace platform
