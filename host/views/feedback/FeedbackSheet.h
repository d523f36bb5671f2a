#pragma once

#include "host/feedback/FeedbackPayload.h"
#include "host/feedback/FeedbackService.h"
#include "host/views/feedback/FeedbackSheetModel.h"

#include <QByteArray>
#include <QDialog>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QScrollArea;

namespace corvane {
class CorvaneButton;
class CorvaneSymbolView;
} // namespace corvane

namespace tandrel {

class AppState;

// The feedback form: the user's text, an optional reply address and screenshot, the facts
// that go along, and one line on how the send ended, after which the sheet closes itself.
// A window-modal dialog of 540 × 560 over the window that opens it:
//
//     FeedbackSheet::present(this, appState);                 // from the main window
//     FeedbackSheet::present(this, appState, "Settings");     // from the settings window
//
// The send is not tied to the sheet: closing it ("Cancel", Escape) while a record is on its
// way lets the service deliver or queue it all the same.
class FeedbackSheet : public QDialog {
    Q_OBJECT

public:
    using SendResult = FeedbackService::SendResult;

    // What the sheet calls on; tests replace any of it.
    struct Services {
        // Posts the record, or queues it when that fails; `done` comes from the event loop on
        // `context` unless it is gone (FeedbackService::send).
        std::function<void(FeedbackPayload, QObject *context,
                           std::function<void(const SendResult &)> done)>
            send;
        // The diagnostics block around the summary of the host's state.
        std::function<QString(const QString &appStateSummary)> diagnose;
        // The sender's login name, the build and the system.
        std::function<FeedbackSheetModel::Identity()> identity;
        // PNG bytes of the application's window, none when it cannot be had.
        FeedbackSheetModel::Capture captureWindowPNG;
        // Calls `then` on `context` once the result line has had time to be read.
        std::function<void(QObject *context, std::function<void()> then)> waitToClose;

        // The process's feedback service (made at the first send), pictures of `window`, and
        // a pause of resultPause on a timer.
        static Services standard(QWidget *window);
    };

    static constexpr const char *mainWindowOrigin = "Main Window";
    static constexpr const char *settingsOrigin = "Settings";
    static constexpr std::chrono::milliseconds resultPause{1500};
    static constexpr int sheetWidth = 540;
    static constexpr int sheetHeight = 560;

    // Opens a new sheet over `window`, window-modal, gone once closed.
    static FeedbackSheet *present(QWidget *window, const AppState &appState,
                                  const QString &herkunft = QString::fromLatin1(mainWindowOrigin));

    // A sheet over `window` with the standard services; not shown yet.
    explicit FeedbackSheet(const AppState &appState, QWidget *window,
                           const QString &herkunft = QString::fromLatin1(mainWindowOrigin));
    FeedbackSheet(const AppState &appState, Services services, const QString &herkunft,
                  QWidget *parent = nullptr);
    ~FeedbackSheet() override;

    const FeedbackSheetModel &model() const { return model_; }

    // The window `widget` is in, drawn as PNG; none without a widget, for an empty window or
    // when the encoding fails.
    static std::optional<QByteArray> captureWindowPNG(QWidget *widget);

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *makeHeader();
    QWidget *makeForm();
    QWidget *makeFooter();
    QWidget *makeFeedbackSection();
    QWidget *makeScreenshotSection();
    QWidget *makeDiagnosticsSection();
    QWidget *makeStatusSection();

    void screenshotSwitched(bool on);
    void senden();
    void sendEnded(const SendResult &result);
    void refresh();
    // Brings a part of the form that just came into view where the user can see it.
    void revealLater(QWidget *view);

    QPointer<const AppState> appState_;
    Services services_;
    FeedbackSheetModel model_;
    // Set once the sheet is closed, by the user or after a send; nothing opens it again.
    bool closed_ = false;

    QScrollArea *scrollArea_ = nullptr;
    QPlainTextEdit *textEditor_ = nullptr;
    QLineEdit *emailField_ = nullptr;
    QCheckBox *screenshotSwitch_ = nullptr;
    QWidget *screenshotPreview_ = nullptr;
    QLabel *screenshotSize_ = nullptr;
    QLabel *screenshotPending_ = nullptr;
    QWidget *statusSection_ = nullptr;
    corvane::CorvaneSymbolView *statusSymbol_ = nullptr;
    QWidget *statusText_ = nullptr;
    corvane::CorvaneButton *sendButton_ = nullptr;
};

} // namespace tandrel
