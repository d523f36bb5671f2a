// tandrel-feedback [--email ADDRESS] [--screenshot PNG] TEXT
//
// Sends one feedback record as the host's feedback form does, from the area "Command Line",
// with the diagnostics of a host that has nothing loaded. Prints the form's status line and
// exits 0 only when the server took the record; a record that did not get through waits in
// the retry queue's file for the host's next run. Usage errors exit 2.
#include "host/feedback/FeedbackDiagnostics.h"
#include "host/feedback/FeedbackDraft.h"
#include "host/feedback/FeedbackService.h"
#include "host/feedback/FeedbackStatus.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

using namespace tandrel;

namespace {

int usageError(const QString &message) {
    QTextStream(stderr) << "tandrel-feedback: " << message << '\n';
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tandrel-feedback"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Sends feedback as the host's feedback form does."));
    parser.addHelpOption();
    const QCommandLineOption email(QStringLiteral("email"), QStringLiteral("Reply address."),
                                   QStringLiteral("ADDRESS"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("PNG file to attach."), QStringLiteral("PNG"));
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

    FeedbackService::Configuration configuration = FeedbackService::standardConfiguration();
    // Older records are the host's to send; this run only adds its own.
    configuration.drainsRetryQueue = false;
    FeedbackService service(configuration);

    FeedbackDraft draft;
    draft.text = texts.front();
    draft.submitterEmail = parser.value(email);
    if (parser.isSet(screenshot)) {
        QFile file(parser.value(screenshot));
        if (!file.open(QIODevice::ReadOnly)) {
            return usageError(QStringLiteral("cannot read '%1': %2")
                                  .arg(file.fileName(), file.errorString()));
        }
        draft.screenshotPNG = file.readAll();
    }
    draft.herkunft = QStringLiteral("Command Line");
    draft.userName = FeedbackService::loginName();
    draft.appVersion = FeedbackService::appVersion();
    draft.osVersion = FeedbackService::osVersion();
    draft.diagnose = service.sammeleDiagnose(AppStateSummary{}.text());

    service.send(draft.payload(), &app, [](const FeedbackService::SendResult &result) {
        QTextStream(stdout) << FeedbackStatus::of(result).text << '\n';
        QCoreApplication::exit(result.delivered() ? 0 : 1);
    });
    return QCoreApplication::exec();
}
