#pragma once

#include <QString>

#include <string_view>

namespace tandrel {

// One of our UTF-8 texts (a title of the model's tables, say) as Qt's.
inline QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace tandrel
