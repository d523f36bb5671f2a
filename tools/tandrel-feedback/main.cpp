// tandrel-feedback [--email ADDRESS] [--screenshot PNG] TEXT
//
// Sends one feedback record as the host's feedback form does, from the area "Command Line",
// with the diagnostics of a host that has nothing loaded. Prints the status line and exits 0
// only when the server took the record; a record that did not get through waits in the retry
// queue's file for the host's next start (the tool itself never sends older records, and its
// status line says so, and where the file is), unless the file is held by a running host, is
// refused (its folder is another user's) or cannot be written: then the tool says the record
// was not saved, and why. The whole exchange with the server ends within a minute. Usage errors,
// and a screenshot that is no regular file or is too large, exit 2.
#include "host/feedback/FeedbackDiagnostics.h"
#include "host/feedback/FeedbackDraft.h"
#include "host/feedback/FeedbackService.h"
#include "host/feedback/FeedbackStatus.h"

#include "core/support/Log.h"
#include "core/support/RegularFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstddef>
#include <cstdio>
#include <optional>
#include <system_error>

using namespace tandrel;

namespace {

// A record with a larger screenshot could not be kept in the retry queue's file, whose
// Base64 text grows it by a third.
constexpr std::size_t maxScreenshotBytes = RetryQueueFile::maxFileBytes / 2;

// A line for the terminal: a path or a server's words in it stay on its one bounded line.
QString shown(const QString &line) {
    return QString::fromStdString(shownLogLine(line.toStdString()));
}

int usageError(const QString &message) {
    QTextStream(stderr) << "tandrel-feedback: " << shown(message) << '\n';
    return 2;
}

// Reads the file at once or says why not: a pipe or a device would be waited on, or read
// without end.
std::optional<QByteArray> readScreenshot(const QString &path, QString &error) {
    const RegularFileRead read =
        readRegularFile(QFile::encodeName(path).toStdString(), maxScreenshotBytes);
    switch (read.status) {
    case RegularFileRead::Status::read:
        return QByteArray::fromStdString(read.bytes);
    case RegularFileRead::Status::tooLarge:
        error =
            QStringLiteral("'%1' is larger than %2 MiB").arg(path).arg(maxScreenshotBytes >> 20);
        return std::nullopt;
    case RegularFileRead::Status::notReadable:
        break;
    }
    error = read.error == std::errc::invalid_argument
                ? QStringLiteral("'%1' is no regular file").arg(path)
                : QStringLiteral("cannot read '%1': %2")
                      .arg(path, QString::fromLocal8Bit(read.error.message()));
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tandrel-feedback"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Sends feedback as the host's feedback form does."));
    parser.addHelpOption();
    const QCommandLineOption email(QStringLiteral("email"), QStringLiteral("Reply address."),
                                   QStringLiteral("ADDRESS"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"), QStringLiteral("PNG file to attach."), QStringLiteral("PNG"));
    parser.addOption(email);
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("TEXT"), QStringLiteral("The feedback."));
    if (!parser.parse(QCoreApplication::arguments())) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        parser.showHelp();
    }
    const QStringList texts = parser.positionalArguments();
    if (texts.size() != 1 || texts.front().trimmed().isEmpty()) {
        return usageError(QStringLiteral("give the feedback as one argument that is not blank"));
    }

    FeedbackDraft draft;
    draft.text = texts.front();
    draft.submitterEmail = parser.value(email);
    if (parser.isSet(screenshot)) {
        QString error;
        const std::optional<QByteArray> png = readScreenshot(parser.value(screenshot), error);
        if (!png) {
            return usageError(error);
        }
        draft.screenshotPNG = *png;
    }

    FeedbackService::Configuration configuration = FeedbackService::standardConfiguration();
    // Older records are the host's to send; this run only adds its own.
    configuration.drainsRetryQueue = false;
    FeedbackService service(configuration);

    draft.herkunft = QStringLiteral("Command Line");
    draft.userName = FeedbackService::loginName();
    draft.appVersion = FeedbackService::appVersion();
    draft.osVersion = FeedbackService::osVersion();
    draft.diagnose = service.sammeleDiagnose(AppStateSummary{}.text());

    service.send(draft.payload(), &app, [](const FeedbackService::SendResult &result) {
        QTextStream(stdout) << shown(FeedbackStatus::of(result).text) << '\n';
        if (!result.delivered() && !result.savedForRetry) {
            QTextStream(stderr) << "tandrel-feedback: the feedback was not saved ("
                                << (result.notSavedBecause.isEmpty()
                                        ? QStringLiteral("the retry queue's file cannot be written")
                                        : QStringLiteral("the retry queue's file ") +
                                              result.notSavedBecause)
                                << "); send it again later\n";
        }
        QCoreApplication::exit(result.delivered() ? 0 : 1);
    });
    return QCoreApplication::exec();
}
