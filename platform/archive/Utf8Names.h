#pragma once

#include <clocale>
#include <locale.h>

namespace platform {

// While it lives, libarchive on this thread reads and writes entry names as UTF-8 (the zip
// flag for UTF-8 names, names on disk), whatever the process's locale: a tool that never set
// its locale ("C") then packs and unpacks names as the host, whose toolkit works in UTF-8,
// does. Where the system has no UTF-8 locale the process's own stays.
class Utf8Names {
public:
    Utf8Names() : utf8_(::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {
        if (utf8_ != static_cast<locale_t>(nullptr)) {
            previous_ = ::uselocale(utf8_);
        }
    }
    ~Utf8Names() {
        if (utf8_ != static_cast<locale_t>(nullptr)) {
            ::uselocale(previous_);
            ::freelocale(utf8_);
        }
    }
    Utf8Names(const Utf8Names &) = delete;
    Utf8Names &operator=(const Utf8Names &) = delete;

private:
    locale_t utf8_;
    locale_t previous_ = static_cast<locale_t>(nullptr);
};

} // namespace platform
