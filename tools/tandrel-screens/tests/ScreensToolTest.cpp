#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun screens(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral(TANDREL_SCREENS_PATH), arguments);
    process.waitForFinished(-1);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

TEST(CorvaneScreensTool, WritesEveryListedScreen) {
    const ToolRun list = screens({QStringLiteral("--list")});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    const QStringList names = list.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(names.isEmpty());
    EXPECT_TRUE(names.contains(QStringLiteral("kit-chips-styles")));

    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("screens"));
    const ToolRun run = screens({QStringLiteral("--out"), out, QStringLiteral("--home"),
                                 folder.filePath(QStringLiteral("home")), QStringLiteral("--jobs"),
                                 QStringLiteral("2")});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QImage image(QDir(out).filePath(name + QStringLiteral(".png")));
        EXPECT_FALSE(image.isNull());
        // Each screen ran with private folders of its own.
        EXPECT_TRUE(
            QDir(folder.filePath(QStringLiteral("home/") + name + QStringLiteral("/config")))
                .exists());
    }
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), names.size());
}

TEST(CorvaneScreensTool, RefusesUnknownScreensAndMissingOptions) {
    QTemporaryDir folder;
    EXPECT_EQ(screens({QStringLiteral("--out"), folder.path(), QStringLiteral("no-such-screen")})
                  .exitCode,
              2);
    EXPECT_EQ(screens({QStringLiteral("kit-type-ramp")}).exitCode, 2);
    EXPECT_EQ(screens({QStringLiteral("--out"), folder.path(), QStringLiteral("--library"),
                       folder.filePath(QStringLiteral("missing.fcpbundle"))})
                  .exitCode,
              2);
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}
