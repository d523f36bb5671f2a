#pragma once

#include <QUrl>

namespace tandrel {

// Hands an address to the desktop (the default browser, or whatever handles its scheme).
// Views take it as an interface, so that tests see what would have been opened.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;

    // Whether this system has anything that opens the address; a view offers a button for it
    // only then.
    virtual bool canOpen(const QUrl &url) const = 0;
    virtual void open(const QUrl &url) = 0;

    // The desktop's: web, mail and file addresses. The system settings panes other platforms
    // address by URL do not exist here.
    static UrlOpener &system();
};

} // namespace tandrel
