// The screenshot tool on an X server of its own (Xvfb, when installed): it reads what the
// server shows, also a pop-up over a window of its own process, which xwd draws black.
#include "tools/testing/ChildProcess.h"

#include "core/tests/TemporaryFolder.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <string>

namespace tandrel {
namespace {

// A process of the test's, ended with the test.
struct Running {
    QProcess process;
    ~Running() {
        process.kill();
        process.waitForFinished();
    }
};

TEST(ScreenshotTool, ReadsAPopUpOverItsOwnWindowAsTheServerShowsIt) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    // A display of its own; the server names it on its standard output.
    Running server;
    server.process.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                QStringLiteral("-screen"), QStringLiteral("0"),
                                QStringLiteral("320x240x24"), QStringLiteral("-nolisten"),
                                QStringLiteral("tcp")});
    ASSERT_TRUE(server.process.waitForStarted());
    while (!server.process.canReadLine() && server.process.state() == QProcess::Running) {
        server.process.waitForReadyRead();
    }
    const QString display =
        QStringLiteral(":") + QString::fromLatin1(server.process.readLine()).trimmed();
    ASSERT_GT(display.size(), 1) << server.process.readAllStandardError().toStdString();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    Running windows;
    windows.process.setProcessEnvironment(environment);
    windows.process.start(QStringLiteral(TANDREL_STACKED_WINDOWS), {});
    ASSERT_TRUE(windows.process.waitForStarted());
    while (!windows.process.canReadLine() && windows.process.state() == QProcess::Running) {
        windows.process.waitForReadyRead();
    }
    ASSERT_EQ(windows.process.readLine().trimmed(), "shown")
        << windows.process.readAllStandardError().toStdString();

    const testing::TemporaryFolder folder;
    const std::string out = (folder.path() / "shot.png").string();
    const std::vector<std::string> variables = [&] {
        std::vector<std::string> all;
        for (const QString &variable : environment.toStringList()) {
            all.push_back(variable.toStdString());
        }
        return all;
    }();
    const testing::ChildProcess shot =
        testing::ChildProcess::run(TANDREL_SCREENSHOT_TOOL, {out}, &variables);
    ASSERT_EQ(shot.status, 0) << shot.output;
    const QImage image(QString::fromStdString(out));
    ASSERT_EQ(image.size(), QSize(320, 240));
    EXPECT_EQ(image.pixelColor(100, 80), QColor(0xff, 0x00, 0x00)); // the pop-up
    EXPECT_EQ(image.pixelColor(40, 40), QColor(0xc0, 0xc0, 0xc0));  // the window beside it

    // A part of the screen: the pop-up alone.
    const testing::ChildProcess part = testing::ChildProcess::run(
        TANDREL_SCREENSHOT_TOOL, {out, "60", "60", "80", "40"}, &variables);
    ASSERT_EQ(part.status, 0) << part.output;
    const QImage popup(QString::fromStdString(out));
    ASSERT_EQ(popup.size(), QSize(80, 40));
    EXPECT_EQ(popup.pixelColor(0, 0), QColor(0xff, 0x00, 0x00));
    EXPECT_EQ(popup.pixelColor(79, 39), QColor(0xff, 0x00, 0x00));
}

TEST(ScreenshotTool, RefusesACommandLineItCannotDoAsGiven) {
    // Refused before any display is looked at.
    const std::vector<std::string> noDisplay;
    for (const std::vector<std::string> &arguments :
         std::vector<std::vector<std::string>>{{},
                                               {"out.png", "1", "2"},
                                               {"out.png", "0", "0", "0", "10"},
                                               {"out.png", "a", "0", "1", "1"},
                                               {"--help"}}) {
        EXPECT_EQ(testing::ChildProcess::run(TANDREL_SCREENSHOT_TOOL, arguments, &noDisplay).status,
                  2);
    }
    const testing::ChildProcess none =
        testing::ChildProcess::run(TANDREL_SCREENSHOT_TOOL, {"out.png"}, &noDisplay);
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.output.find("DISPLAY names no X display"), std::string::npos) << none.output;
}

} // namespace
} // namespace tandrel
