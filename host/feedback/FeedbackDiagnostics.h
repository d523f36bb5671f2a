#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

namespace tandrel {

// What the host's state tells about the user's work, as it goes with a feedback record:
//
//     Geladene Libraries: 1
//     Aktive Timeline: Cut 3 (Show)            or  Aktive Timeline: keine
//     Aktives Preset: Conform (4 Elemente)     (only with an active preset)
struct AppStateSummary {
    struct Timeline {
        QString name;
        QString library;
    };
    struct Preset {
        QString name;
        qsizetype elementCount = 0;
    };

    qsizetype watchedLibraries = 0;
    std::optional<Timeline> activeTimeline;
    std::optional<Preset> activePreset;

    QString text() const;
};

// The diagnostics block of a feedback record, six lines for a one-line summary:
//
//     === Embrik Diagnose ===
//     Datum: <date and time in the user's locale>
//     App-Version: 1.4 (12)
//     System: Linux 6.1.0
//
//     <the summary, as given>
struct FeedbackDiagnostics {
    QDateTime date;
    QString appVersion;
    QString osVersion;
    QString appStateSummary;

    QString text(const QLocale &locale = QLocale()) const;
};

// "<short version> (<build>)"; an empty part reads "0".
QString appVersionText(const QString &shortVersion, const QString &build);
// "Linux M.m.p" from a kernel release such as "6.1.0-18-amd64": the leading numbers, the
// missing ones as 0.
QString linuxVersionText(const QString &kernelRelease);

} // namespace tandrel
