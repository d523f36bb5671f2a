#pragma once

#include <QUrl>

namespace platform {

// Whether the URL may be reached: "https" anywhere, plain "http" only on this machine (a
// loopback address or "localhost"), where nothing it carries crosses a network. The rest of
// the URL is the caller's to judge.
bool isSecureOrLoopbackURL(const QUrl &url);

} // namespace platform
