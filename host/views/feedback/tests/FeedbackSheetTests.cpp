#include "host/views/feedback/FeedbackSheet.h"

#include "designkit/Color.h"
#include "designkit/CorvaneButton.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"

#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>

namespace tandrel {
namespace {

using SendResult = FeedbackSheet::SendResult;

QByteArray pngOf(QSize size) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The feedback service, the window's picture and the pause before closing, played by hand.
// Answers and wakes go only to a sheet that still exists, as the real ones do.
struct FakeFeedback {
    struct Send {
        FeedbackPayload payload;
        QPointer<QObject> context;
        std::function<void(const SendResult &)> done;
    };

    std::vector<Send> sends;
    std::vector<QString> summaries;
    std::optional<QByteArray> picture = pngOf({64, 40});
    int captures = 0;
    std::deque<std::pair<QPointer<QObject>, std::function<void()>>> waits;

    FeedbackSheet::Services services() {
        return {
            .send =
                [this](FeedbackPayload payload, QObject *context,
                       std::function<void(const SendResult &)> done) {
                    sends.push_back({std::move(payload), context, std::move(done)});
                },
            .diagnose =
                [this](const QString &summary) {
                    summaries.push_back(summary);
                    return QStringLiteral("diagnose");
                },
            .identity = [] { return FeedbackSheetModel::Identity{"ada", "0.1.0 (7)", "Linux 6.1.0"}; },
            .captureWindowPNG =
                [this] {
                    ++captures;
                    return picture;
                },
            .waitToClose = [this](QObject *context,
                                  std::function<void()> then) { waits.emplace_back(context, then); },
        };
    }

    void answer(const SendResult &result) {
        const Send &send = sends.back();
        if (send.context) {
            send.done(result);
        }
    }
    void endWait() {
        auto [context, then] = waits.front();
        waits.pop_front();
        if (context) {
            then();
        }
    }
};

class FeedbackSheetTest : public ::testing::Test {
protected:
    FeedbackSheet &sheet(const QString &herkunft = FeedbackSheet::mainWindowOrigin) {
        if (!sheet_) {
            sheet_ = std::make_unique<FeedbackSheet>(state, fake.services(), herkunft);
            sheet_->show();
        }
        return *sheet_;
    }
    template <typename T> T *find(const char *name) {
        T *found = sheet().findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    bool shown(const char *name) { return find<QWidget>(name)->isVisibleTo(&sheet()); }
    void type(const QString &text) { find<QPlainTextEdit>("feedbackText")->setPlainText(text); }
    corvane::CorvaneButton *sendButton() { return find<corvane::CorvaneButton>("sendButton"); }
    void pressReturn() { QTest::keyClick(find<QLineEdit>("submitterEmail"), Qt::Key_Return); }
    void switchScreenshot(bool on) { find<QCheckBox>("includeScreenshot")->setChecked(on); }

    AppState state{AppState::Services{}};
    FakeFeedback fake;
    std::unique_ptr<FeedbackSheet> sheet_;
};

TEST_F(FeedbackSheetTest, SendsOnlyANonBlankTextAndOnlyOnce) {
    for (const QString &blank : {QString(), QStringLiteral(" \n\t\n ")}) {
        type(blank);
        EXPECT_FALSE(sendButton()->isEnabled());
        pressReturn();
        sendButton()->click();
        EXPECT_TRUE(fake.sends.empty());
    }

    type(QStringLiteral("  Export stalls\n"));
    EXPECT_TRUE(sendButton()->isEnabled());
    EXPECT_EQ(sendButton()->text(), "Send Feedback");
    pressReturn();
    ASSERT_EQ(fake.sends.size(), 1U);
    EXPECT_EQ(fake.sends[0].payload.text, "  Export stalls\n");
    EXPECT_EQ(sendButton()->text(), "Sending\u2026");
    EXPECT_FALSE(sendButton()->isEnabled());

    // Neither a second Return nor a click sends it again.
    pressReturn();
    sendButton()->click();
    EXPECT_EQ(fake.sends.size(), 1U);
}

TEST_F(FeedbackSheetTest, SendsTheFormWithTheStateSummaryAndItsOrigin) {
    sheet(FeedbackSheet::settingsOrigin);
    EXPECT_EQ(find<QLabel>("area")->text(), "Settings");
    EXPECT_EQ(find<QLabel>("sender")->text(), "ada");
    EXPECT_EQ(find<QLabel>("osVersion")->text(), "Linux 6.1.0");
    // The row's label names the system its value describes.
    EXPECT_EQ(find<QLabel>("osVersion")->parentWidget()->findChildren<QLabel *>().front()->text(),
              "Linux");
    type(QStringLiteral("Crashes"));
    find<QLineEdit>("submitterEmail")->setText(QStringLiteral(" ada@example.com "));
    sendButton()->click();

    ASSERT_EQ(fake.sends.size(), 1U);
    EXPECT_EQ(fake.summaries, (std::vector<QString>{"Geladene Libraries: 0\nAktive Timeline: keine"}));
    EXPECT_EQ(fake.sends[0].payload,
              (FeedbackPayload{"Crashes", "ada", "0.1.0 (7)", "Linux 6.1.0",
                               "Embrik \u2013 Settings", "diagnose", std::nullopt,
                               "ada@example.com"}));
    EXPECT_EQ(fake.sends[0].context, &sheet());
}

TEST_F(FeedbackSheetTest, ShowsTheScreenshotAndSendsItOnlyWhileTheSwitchIsOn) {
    type(QStringLiteral("Look"));
    EXPECT_FALSE(shown("screenshotPreview"));
    EXPECT_FALSE(shown("screenshotPending"));

    switchScreenshot(true);
    EXPECT_TRUE(shown("screenshotPreview"));
    EXPECT_EQ(find<QLabel>("screenshotSize")->text(), "Size: 0 KB");
    switchScreenshot(false);
    EXPECT_FALSE(shown("screenshotPreview"));
    EXPECT_FALSE(shown("screenshotSize"));
    sendButton()->click();
    ASSERT_EQ(fake.sends.size(), 1U);
    EXPECT_EQ(fake.sends[0].payload.screenshotPNG, std::nullopt);
    EXPECT_EQ(fake.captures, 1);
}

// Bytes that are no picture, and a capture that failed, both wait on the pending line; the
// bytes still go out as they are.
TEST_F(FeedbackSheetTest, ShowsThePendingLineForWhatIsNoPicture) {
    const struct {
        std::optional<QByteArray> picture;
        std::optional<Bytes> sent;
    } cases[] = {
        {QByteArray("not a png"), Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'}},
        {QByteArray(), Bytes{}},
        {std::nullopt, std::nullopt},
    };
    for (const auto &c : cases) {
        sheet_.reset();
        fake.sends.clear();
        fake.picture = c.picture;
        type(QStringLiteral("Look"));
        switchScreenshot(true);
        EXPECT_TRUE(shown("screenshotPending"));
        EXPECT_EQ(find<QLabel>("screenshotPending")->text(), "Generating screenshot\u2026");
        EXPECT_FALSE(shown("screenshotPreview"));
        sendButton()->click();
        ASSERT_EQ(fake.sends.size(), 1U);
        EXPECT_EQ(fake.sends[0].payload.screenshotPNG, c.sent);
    }
}

// A check mark only for delivered records and for records that wait in the queue's file
// after the network failed; any other failure has a warning sign, and says whether the record
// waits in the file all the same.
TEST_F(FeedbackSheetTest, ShowsTheResultLineAndItsSymbolPerOutcome) {
    const QColor green = corvane::Color::green();
    const QColor orange = corvane::Color::orange();
    const struct {
        SendResult result;
        QString text;
        const char *symbol;
        QColor colour;
    } cases[] = {
        {{QStringLiteral("k3x9"), {}, false, false}, "Thanks! Feedback received (ID: k3x9)",
         "checkmark.circle.fill", green},
        {{std::nullopt, "Connection refused", true, true},
         "No network right now \u2014 feedback is saved and will be sent automatically.",
         "checkmark.circle.fill", green},
        {{std::nullopt, "Connection refused", true, false},
         "Feedback could not be sent or saved \u2014 it will be tried again while Embrik Host "
         "runs.",
         "exclamationmark.circle.fill", orange},
        {{std::nullopt, "No feedback server is configured.", false, true,
          FeedbackService::Server::none, {}, true, "/data/Tandrel/feedback_retry_queue.json"},
         "Feedback cannot be sent from this build: no feedback server is configured. It is kept "
         "in /data/Tandrel/feedback_retry_queue.json.",
         "exclamationmark.circle.fill", orange},
        // The server's answer is for the log, not for the line.
        {{std::nullopt, "HTTP 413: {\"code\":413," + QString(200, u'x'), false, true},
         "The feedback server did not take the feedback \u2014 it is saved and will be tried "
         "again automatically.",
         "exclamationmark.circle.fill", orange},
    };
    for (const auto &c : cases) {
        sheet_.reset();
        type(QStringLiteral("Hello"));
        sendButton()->click();
        EXPECT_FALSE(shown("statusSection"));
        fake.answer(c.result);
        ASSERT_TRUE(shown("statusSection")) << c.text.toStdString();
        EXPECT_EQ(find<QWidget>("statusText")->accessibleName(), c.text);
        auto *symbol = find<corvane::CorvaneSymbolView>("statusSymbol");
        EXPECT_EQ(symbol->symbol(), c.symbol) << c.text.toStdString();
        EXPECT_EQ(corvane::foregroundOf(symbol), c.colour) << c.text.toStdString();
        EXPECT_EQ(sendButton()->text(), "Sending\u2026");
        EXPECT_FALSE(sendButton()->isEnabled());
    }
}

TEST_F(FeedbackSheetTest, ClosesOnceTheResultHadItsTime) {
    QSignalSpy finished(&sheet(), &QDialog::finished);
    type(QStringLiteral("Hello"));
    sendButton()->click();
    EXPECT_TRUE(fake.waits.empty());
    fake.answer({QStringLiteral("abc"), {}, false, false});
    ASSERT_EQ(fake.waits.size(), 1U);
    EXPECT_TRUE(sheet().isVisible());

    fake.endWait();
    EXPECT_FALSE(sheet().isVisible());
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(sheet().result(), QDialog::Accepted);
}

TEST_F(FeedbackSheetTest, CancelDuringASendLetsTheRecordGoAndTheSheetStayClosed) {
    QSignalSpy finished(&sheet(), &QDialog::finished);
    type(QStringLiteral("Hello"));
    sendButton()->click();
    find<corvane::CorvaneButton>("cancelButton")->click();
    EXPECT_FALSE(sheet().isVisible());
    EXPECT_EQ(sheet().result(), QDialog::Rejected);

    // The record went out; its late answer and the pause after it change nothing.
    ASSERT_EQ(fake.sends.size(), 1U);
    fake.answer({std::nullopt, "Connection refused", true, true});
    fake.endWait();
    EXPECT_FALSE(sheet().isVisible());
    EXPECT_EQ(finished.size(), 1);
    EXPECT_EQ(sheet().result(), QDialog::Rejected);
}

TEST_F(FeedbackSheetTest, EscapeClosesTheSheet) {
    type(QStringLiteral("Hello"));
    QTest::keyClick(find<QPlainTextEdit>("feedbackText"), Qt::Key_Escape);
    EXPECT_FALSE(sheet().isVisible());
    EXPECT_TRUE(fake.sends.empty());
}

// A sheet presented over a window blocks that window only, and is gone once closed, so an
// answer that comes later finds nobody.
TEST(FeedbackSheet, PresentedOverAWindowAndGoneOnceClosed) {
    AppState state{AppState::Services{}};
    QWidget window;
    window.resize(400, 300);
    window.show();
    QPointer<FeedbackSheet> sheet = FeedbackSheet::present(&window, state, "Settings");
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->parentWidget(), &window);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->size(), QSize(540, 560));
    EXPECT_EQ(sheet->model().herkunft(), "Settings");

    sheet->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sheet.isNull());
}

TEST(FeedbackSheet, CapturesTheWholeWindowAsPNG) {
    QWidget window;
    window.resize(300, 200);
    auto *child = new QWidget(&window);
    child->setGeometry(10, 10, 20, 20);
    const std::optional<QByteArray> png = FeedbackSheet::captureWindowPNG(child);
    ASSERT_TRUE(png);
    EXPECT_TRUE(png->startsWith("\x89PNG"));
    EXPECT_EQ(QImage::fromData(*png).size(), QSize(300, 200));

    EXPECT_EQ(FeedbackSheet::captureWindowPNG(nullptr), std::nullopt);
    QWidget empty;
    empty.resize(0, 0);
    EXPECT_EQ(FeedbackSheet::captureWindowPNG(&empty), std::nullopt);
}

} // namespace
} // namespace tandrel
