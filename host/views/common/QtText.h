#pragma once

#include <QString>

#include <string_view>

namespace tandrel {

// One of our UTF-8 texts (a title of the model's tables, say) as Qt's.
inline QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Outside text (a name from a library or the editor, a path, an error text, a server's
// answer) as every view shows it, alone or within a line of the system's own: one line of at
// most shownNameCharacters characters, elided in the middle with "…", its controls shown and
// never obeyed, isolated so that it cannot reorder what stands around it (shownName). A name
// of megabytes costs what its ends do.
QString shownText(std::string_view outside);

} // namespace tandrel
