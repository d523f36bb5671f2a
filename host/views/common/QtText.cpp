#include "host/views/common/QtText.h"

#include "core/support/UnicodeText.h"

namespace tandrel {

QString shownText(std::string_view outside) {
    return qtText(shownName(outside, shownNameCharacters));
}

} // namespace tandrel
