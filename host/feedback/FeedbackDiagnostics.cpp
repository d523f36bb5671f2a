#include "host/feedback/FeedbackDiagnostics.h"

#include "core/support/UnicodeText.h"

#include <QStringList>

#include <array>

namespace tandrel {

namespace {

// A name as the record carries it: on its own line's part, bounded, its controls shown, so
// that it can neither forge a line of the diagnostics nor fill the record.
QString recorded(const QString &name) {
    const QByteArray utf8 = name.toUtf8();
    const std::string shown =
        shownLine(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                  shownNameCharacters);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

} // namespace

QString AppStateSummary::text() const {
    QStringList lines{QStringLiteral("Geladene Libraries: %1").arg(watchedLibraries)};
    lines << (activeTimeline
                  ? QStringLiteral("Aktive Timeline: %1 (%2)")
                        .arg(recorded(activeTimeline->name), recorded(activeTimeline->library))
                  : QStringLiteral("Aktive Timeline: keine"));
    if (activePreset) {
        // One arg() for both, so that a "%2" in the name stays text.
        lines << QStringLiteral("Aktives Preset: %1 (%2 Elemente)")
                     .arg(recorded(activePreset->name),
                          QString::number(activePreset->elementCount));
    }
    return lines.join(u'\n');
}

QString FeedbackDiagnostics::text(const QLocale &locale) const {
    return QStringList{
        QStringLiteral("=== Embrik Diagnose ==="),
        QStringLiteral("Datum: ") + locale.toString(date, QLocale::ShortFormat),
        QStringLiteral("App-Version: ") + appVersion,
        QStringLiteral("System: ") + osVersion,
        QString(),
        appStateSummary,
    }
        .join(u'\n');
}

QString appVersionText(const QString &shortVersion, const QString &build) {
    const auto orZero = [](const QString &part) {
        return part.isEmpty() ? QStringLiteral("0") : part;
    };
    return QStringLiteral("%1 (%2)").arg(orZero(shortVersion), orZero(build));
}

QString linuxVersionText(const QString &kernelRelease) {
    std::array<qulonglong, 3> numbers{};
    qsizetype position = 0;
    for (qulonglong &number : numbers) {
        const qsizetype start = position;
        while (position < kernelRelease.size() && kernelRelease[position] >= u'0' &&
               kernelRelease[position] <= u'9') {
            ++position;
        }
        if (position == start) {
            break;
        }
        // Digits beyond 64 bits are no version anybody has; they read as 0.
        number = kernelRelease.mid(start, position - start).toULongLong();
        if (position == kernelRelease.size() || kernelRelease[position] != u'.') {
            break;
        }
        ++position;
    }
    return QStringLiteral("Linux %1.%2.%3").arg(numbers[0]).arg(numbers[1]).arg(numbers[2]);
}

} // namespace tandrel
