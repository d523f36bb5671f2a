#include "host/views/common/UrlOpener.h"

#include "core/support/Log.h"

#include <QDesktopServices>

namespace tandrel {

namespace {

class DesktopUrlOpener final : public UrlOpener {
public:
    bool canOpen(const QUrl &url) const override {
        static const QStringList schemes{QStringLiteral("https"), QStringLiteral("http"),
                                         QStringLiteral("mailto"), QStringLiteral("file")};
        return url.isValid() && schemes.contains(url.scheme());
    }

    void open(const QUrl &url) override {
        if (!canOpen(url) || !QDesktopServices::openUrl(url)) {
            logger("com.ostrevale.tandrel.host", "views")
                ->warn("Nothing on this system opens {}", url.toString().toStdString());
        }
    }
};

} // namespace

UrlOpener &UrlOpener::system() {
    static DesktopUrlOpener opener;
    return opener;
}

} // namespace tandrel
