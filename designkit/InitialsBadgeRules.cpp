#include "designkit/InitialsBadgeRules.h"

#include "designkit/Color.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextBoundaryFinder>

namespace corvane {

namespace {

// The user-perceived characters of `text`, in order.
QStringList characters(const QString &text) {
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        if (end > start) {
            result << text.mid(start, end - start);
        }
        start = end;
    }
    return result;
}

bool separatesWords(const QString &character) {
    return character == u" " || character == u"-" || character == u".";
}

} // namespace

const std::array<QColor, 6> &InitialsBadgeRules::palette() {
    static const std::array<QColor, 6> colours = {
        Color::corvaneAccent(),        Color::sRGB(0.4, 0.72, 0.52), Color::sRGB(0.85, 0.6, 0.32),
        Color::sRGB(0.74, 0.48, 0.82), Color::sRGB(0.9, 0.47, 0.47), Color::sRGB(0.4, 0.68, 0.8),
    };
    return colours;
}

uint64_t InitialsBadgeRules::stableHash(const QString &name) {
    uint64_t hash = 14695981039346656037ULL;
    for (const char byte : name.toLower().toUtf8()) {
        hash ^= static_cast<uint8_t>(byte);
        hash *= 1099511628211ULL;
    }
    return hash;
}

int InitialsBadgeRules::paletteIndex(const QString &name) {
    return static_cast<int>(stableHash(name) % palette().size());
}

QString InitialsBadgeRules::initials(const QString &name) {
    // Words are split by whole characters: a space that carries a combining mark is a letter
    // of its word, not a separator.
    std::optional<QString> firstOfFirst;
    std::optional<QString> firstOfLast;
    bool atWordStart = true;
    for (const QString &character : characters(name)) {
        if (separatesWords(character)) {
            atWordStart = true;
            continue;
        }
        if (atWordStart) {
            if (!firstOfFirst) {
                firstOfFirst = character;
            } else {
                firstOfLast = character;
            }
            atWordStart = false;
        }
    }
    if (!firstOfFirst) {
        return QStringLiteral("?");
    }
    return (*firstOfFirst + firstOfLast.value_or(QString())).toUpper();
}

QColor InitialsBadgeRules::resolvedTint(const QString &name, const std::optional<QColor> &tint) {
    return tint.value_or(palette()[static_cast<size_t>(paletteIndex(name))]);
}

double InitialsBadgeRules::fontSize(double badgeSize) {
    return 0.42 * badgeSize;
}

QString InitialsBadgeRules::accessibilityLabel(const QString &name) {
    return name.isEmpty() ? QCoreApplication::translate("CorvaneInitialsBadge", "Unassigned")
                          : name;
}

} // namespace corvane
