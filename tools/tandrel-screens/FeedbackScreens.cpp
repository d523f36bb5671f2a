// The feedback sheet as it opens, with a screenshot attached, and after a send that was
// delivered, one that waits for the network, one that no server took and one that this build
// cannot send.
#include "tools/tandrel-screens/KitSheet.h"
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "host/state/AppState.h"
#include "host/views/feedback/FeedbackSheet.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

using tandrel::AppState;
using tandrel::FeedbackSheet;
using tandrel::screens::ScreenContext;
using SendResult = FeedbackSheet::SendResult;

// Something to take a picture of: a window of the host's, with its title and a few lines.
QWidget *standInWindow() {
    auto *window = new tandrel::screens::kit::Page(QStringLiteral("Embrik"),
                                                   QStringLiteral("Sample \u00b7 Trailer"));
    auto *rows = window->section<QVBoxLayout>(QStringLiteral("Timelines"));
    for (const char *name : {"Trailer", "Sample", "Cut 3"}) {
        rows->addWidget(tandrel::screens::kit::text(QString::fromLatin1(name),
                                                    corvane::corvaneBody));
    }
    window->finish();
    window->resize(760, 560);
    return window;
}

// A sheet over a stand-in window; `answer`, when given, is what every send gets at once.
// The pause before closing never ends, so the result line stays.
std::unique_ptr<FeedbackSheet> sheet(std::optional<SendResult> answer = std::nullopt) {
    QWidget *window = standInWindow();
    auto *state = new AppState(AppState::Services{});
    FeedbackSheet::Services services = FeedbackSheet::Services::standard(window);
    services.identity = [] {
        return tandrel::FeedbackSheetModel::Identity{QStringLiteral("ada"),
                                                     QStringLiteral("0.1.0 (1)"),
                                                     QStringLiteral("Linux 6.1.0")};
    };
    services.diagnose = [](const QString &summary) { return summary; };
    services.send = [answer](tandrel::FeedbackPayload, QObject *,
                             std::function<void(const SendResult &)> done) {
        if (answer) {
            done(*answer);
        }
    };
    services.waitToClose = [](QObject *, std::function<void()>) {};
    auto made = std::make_unique<FeedbackSheet>(*state, services,
                                                QString::fromLatin1(FeedbackSheet::mainWindowOrigin));
    state->setParent(made.get());
    window->setParent(made.get(), Qt::Window);
    return made;
}

void fill(FeedbackSheet &sheet, const QString &text, const QString &address = {}) {
    sheet.findChild<QPlainTextEdit *>(QStringLiteral("feedbackText"))->setPlainText(text);
    sheet.findChild<QLineEdit *>(QStringLiteral("submitterEmail"))->setText(address);
}

std::unique_ptr<QWidget> sent(const SendResult &answer) {
    auto made = sheet(answer);
    fill(*made,
         QStringLiteral("The status bar still shows the old timeline after I switch libraries."),
         QStringLiteral("ada@example.com"));
    made->findChild<QAbstractButton *>(QStringLiteral("sendButton"))->click();
    return made;
}

const tandrel::screens::ScreenRegistration screens{
    {"feedback-sheet-empty", {540, 560}, [](const ScreenContext &) -> std::unique_ptr<QWidget> {
         return sheet();
     }},
    {"feedback-sheet-screenshot", {540, 560},
     [](const ScreenContext &) -> std::unique_ptr<QWidget> {
         auto made = sheet();
         fill(*made, QStringLiteral("The preview canvas flickers while I drag an element."));
         made->findChild<QCheckBox *>(QStringLiteral("includeScreenshot"))->setChecked(true);
         return made;
     }},
    {"feedback-sheet-sent", {540, 560},
     [](const ScreenContext &) {
         return sent({QStringLiteral("r8k2m4q9z1x7c3v"), {}, false, false});
     }},
    {"feedback-sheet-offline", {540, 560},
     [](const ScreenContext &) {
         return sent({std::nullopt, QStringLiteral("Connection refused"), true, true});
     }},
    {"feedback-sheet-failed", {540, 560},
     [](const ScreenContext &) {
         return sent({std::nullopt,
                      QStringLiteral("HTTP 413: {\"code\":413,\"message\":\"The request body is "
                                     "too large for this collection.\",\"data\":{}}"),
                      false, true});
     }},
    {"feedback-sheet-no-server", {540, 560},
     [](const ScreenContext &) {
         return sent({std::nullopt, QStringLiteral("No feedback server is configured."), false,
                      true, tandrel::FeedbackService::Server::none, {}, true,
                      tandrel::FeedbackService::retryQueueStoreURL()});
     }},
};

} // namespace
