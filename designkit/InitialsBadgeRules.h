#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace corvane {

// The rules of the initials badge, which gives every name a stable colour: a 64-bit FNV-1a
// hash of the lower-cased name's UTF-8 picks one of six colours, and the initials are the
// first characters of the first and last words (words split at " ", "-" and ".").
class InitialsBadgeRules {
public:
    InitialsBadgeRules() = delete;

    static const std::array<QColor, 6> &palette();

    static uint64_t stableHash(const QString &name);
    static int paletteIndex(const QString &name);
    // "?" for a name without words.
    static QString initials(const QString &name);
    static QColor resolvedTint(const QString &name, const std::optional<QColor> &tint);
    static double fontSize(double badgeSize);
    // The name, or "Unassigned" for an empty one.
    static QString accessibilityLabel(const QString &name);
};

} // namespace corvane
