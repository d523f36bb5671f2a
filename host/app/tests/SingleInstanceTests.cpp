// The one-host socket against another user of the machine and against requests without end.
// The other user is "nobody", acted as through runuser (the tests run as root in CI); without
// root those rows skip, saying why.
#include "host/app/HostRequest.h"
#include "host/app/SingleInstance.h"
#include "host/app/tests/HostProcess.h"

#include "core/tests/LibraryFixture.h"
#include "tools/testing/OtherUser.h"

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::OtherUser;
using testing::quotedWord;

std::string contents(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A program of the other user's, running while it lives.
class OtherUsersProgram {
public:
    OtherUsersProgram(const fs::path &peer, const std::string &arguments) {
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(QStringLiteral("/usr/sbin/runuser"),
                       {QStringLiteral("-u"), QString::fromUtf8(OtherUser::name),
                        QStringLiteral("--"), QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                        QString::fromStdString("umask 000; exec " + quotedWord(peer.string()) +
                                               " " + arguments)});
    }
    ~OtherUsersProgram() {
        process_.kill();
        process_.waitForFinished();
    }
    // Waits for the line it says once it is ready.
    bool said(const QByteArray &line) {
        while (!output_.contains(line) && process_.state() != QProcess::NotRunning) {
            process_.waitForReadyRead(100);
            output_ += process_.readAll();
        }
        output_ += process_.readAll();
        return output_.contains(line);
    }
    // Everything it said, once it has ended by itself (the event loop runs meanwhile).
    QByteArray finished() {
        (void)QTest::qWaitFor([&] { return process_.state() == QProcess::NotRunning; }, 30000);
        return output_ + process_.readAll();
    }

private:
    QProcess process_;
    QByteArray output_;
};

class SingleInstanceAgainstAnotherUser : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = OtherUser::unavailable(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        shared = OtherUser::sharedFolder(scratch.path());
        // Where the other user can run it from.
        fs::copy_file(TANDREL_SOCKET_PEER, shared / "socket-peer");
        ::chmod((shared / "socket-peer").c_str(), 0755);
        fs::create_directory(home);
        ::chmod(home.c_str(), 0700);
        fs::create_directory(library);
    }

    // A start of the host without XDG_RUNTIME_DIR (as under su, ssh or cron), the shared
    // folder as its temporary folder.
    QProcessEnvironment start(const std::optional<fs::path> &runtime = std::nullopt) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        const auto set = [&](const char *name, const fs::path &value) {
            environment.insert(QString::fromUtf8(name), QString::fromStdString(value.string()));
        };
        set("HOME", home);
        set("TMPDIR", shared);
        set("XDG_DATA_HOME", home / "data");
        set("XDG_CONFIG_HOME", home / "config");
        set("XDG_CACHE_HOME", home / "cache");
        if (runtime) {
            set("XDG_RUNTIME_DIR", *runtime);
        }
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("TANDREL_UPDATE_SERVER"), QString());
        return environment;
    }

    testing::ScratchFolder scratch;
    fs::path shared;
    fs::path home = scratch / "home";
    fs::path library = scratch / "Show.fcpbundle";
};

// Whoever listens where a start looks for the host, the start hands nothing over to another
// user's process: it becomes the host itself, in a folder of its own.
TEST_F(SingleInstanceAgainstAnotherUser, AStartHandsNothingToAnotherUsersProcess) {
    const fs::path record = shared / "heard";
    const fs::path peer = shared / "socket-peer";
    const fs::path cacheSocket =
        home / "cache" / "Ostrevale" / "runtime" / SingleInstance::socketName;
    const struct {
        const char *attack;
        std::vector<fs::path> listens; // where he listens
        std::optional<fs::path> runtime;
    } rows[] = {
        {"XDG_RUNTIME_DIR unset: he made runtime-root first and listens in it and in the shared "
         "folder",
         {shared / "runtime-root" / SingleInstance::socketName,
          shared / SingleInstance::socketName},
         std::nullopt},
        {"XDG_RUNTIME_DIR names a folder of his",
         {shared / "his-runtime" / SingleInstance::socketName, shared / SingleInstance::socketName},
         shared / "his-runtime"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.attack);
        fs::remove_all(home / "cache");
        fs::remove(record);
        std::vector<std::unique_ptr<OtherUsersProgram>> listeners;
        for (const fs::path &at : row.listens) {
            ASSERT_EQ(OtherUser::shell("mkdir -p " + quotedWord(at.parent_path().string())).status,
                      0);
            listeners.push_back(std::make_unique<OtherUsersProgram>(
                peer, "listen " + quotedWord(at.string()) + " " + quotedWord(record.string())));
            ASSERT_TRUE(listeners.back()->said("listening"));
        }
        QProcess host;
        host.setProcessEnvironment(start(row.runtime));
        host.setProcessChannelMode(QProcess::MergedChannels);
        host.start(QStringLiteral(EMBRIK_HOST_PATH),
                   {QStringLiteral("--add-library"), QString::fromStdString(library.string())});
        ASSERT_TRUE(host.waitForStarted());
        // It is the host now, listening in its own folder.
        QByteArray said;
        while (!fs::exists(cacheSocket) && host.state() == QProcess::Running) {
            host.waitForReadyRead(100);
            said += host.readAll();
        }
        EXPECT_TRUE(fs::exists(cacheSocket)) << said.toStdString();
        EXPECT_EQ(host.state(), QProcess::Running) << said.toStdString();
        EXPECT_EQ(contents(record), "");
        struct stat folder {};
        ASSERT_EQ(::stat(cacheSocket.parent_path().c_str(), &folder), 0);
        EXPECT_EQ(folder.st_mode & 07777, 0700u);
        host.terminate();
        host.waitForFinished(30'000);
    }
}

// A socket of another user's in the user's own folder (left from when it was open to others):
// the start hands nothing to it and listens there itself.
TEST_F(SingleInstanceAgainstAnotherUser, AnotherUsersListenerInTheUsersFolderIsNotTheHost) {
    const fs::path folder = scratch / "runtime";
    fs::create_directory(folder);
    ::chmod(folder.c_str(), 0777);
    const fs::path socket = folder / SingleInstance::socketName;
    const fs::path record = shared / "heard";
    OtherUsersProgram his(shared / "socket-peer", "listen " + quotedWord(socket.string()) + " " +
                                                      quotedWord(record.string()));
    ASSERT_TRUE(his.said("listening"));
    ::chmod(folder.c_str(), 0700);

    SingleInstance start(QString::fromStdString(socket.string()));
    EXPECT_EQ(start.claim(HostRequest{{library}}.encode()), SingleInstance::Claim::listening)
        << start.errorString().toStdString();
    EXPECT_EQ(contents(record), "");
}

// The host hears nobody but its own user: another user's connection is closed unread.
TEST_F(SingleInstanceAgainstAnotherUser, TheHostClosesAnotherUsersConnectionUnread) {
    const fs::path socket = shared / "host-socket";
    SingleInstance host(QString::fromStdString(socket.string()));
    ASSERT_EQ(host.claim("{}"), SingleInstance::Claim::listening);
    int heard = 0;
    host.setAnswerer([&](const QByteArray &) {
        ++heard;
        return QByteArray("{}");
    });
    // Reachable for him, as it would be in a folder that is not the user's alone.
    ::chmod(socket.c_str(), 0777);
    OtherUsersProgram his(shared / "socket-peer",
                          "connect " + quotedWord(socket.string()) + " " +
                              quotedWord(HostRequest{{library}}.encode().toStdString()));
    const QByteArray output = his.finished();
    EXPECT_EQ(heard, 0);
    EXPECT_TRUE(output.contains("answer: []")) << output.toStdString();
}

// A request is one line of at most maxRequestBytes: one that grows past it, with or without its
// line break, closes the connection unanswered, and the host holds no more of it than that;
// one within it is answered. A start refuses to send a longer one, and stops reading an answer
// that grows past it.
TEST(SingleInstanceRequests, ARequestPastTheLimitClosesTheConnection) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("socket"));
    SingleInstance host(path);
    ASSERT_EQ(host.claim("{}"), SingleInstance::Claim::listening);
    QByteArrayList answered;
    host.setAnswerer([&](const QByteArray &request) {
        answered << request.left(16);
        return QByteArray("{}");
    });
    const qsizetype limit = SingleInstance::maxRequestBytes;
    const struct {
        const char *request;
        QByteArray bytes;
        bool answered;
    } rows[] = {
        {"1 MiB, one line", QByteArray(1 << 20, 'a') + '\n', true},
        {"just within the limit", QByteArray(limit - 1, 'b') + '\n', true},
        {"past the limit, no line break", QByteArray(limit + (1 << 20), 'c'), false},
        {"past the limit, then a line break", QByteArray(limit + 1, 'd') + '\n', false},
        {"64 MiB without a line break", QByteArray(qsizetype{64} << 20, 'e'), false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.request);
        answered.clear();
        QLocalSocket start;
        start.connectToServer(path);
        ASSERT_TRUE(start.waitForConnected(5000));
        QByteArray answer;
        qint64 sent = 0;
        QObject::connect(&start, &QLocalSocket::readyRead, [&] { answer += start.readAll(); });
        QObject::connect(&start, &QLocalSocket::bytesWritten, [&](qint64 n) { sent += n; });
        start.write(row.bytes);
        EXPECT_TRUE(QTest::qWaitFor([&] { return start.state() == QLocalSocket::UnconnectedState; },
                                    60'000));
        EXPECT_EQ(!answered.isEmpty(), row.answered);
        EXPECT_EQ(answer, row.answered ? QByteArray("{}\n") : QByteArray());
        // The host stopped reading at the limit: most of a request far beyond it never left.
        if (row.bytes.size() > 2 * limit) {
            EXPECT_LT(sent, 2 * limit) << "the host read all of it";
        }
    }

    SingleInstance tooLong(folder.filePath(QStringLiteral("other")));
    EXPECT_EQ(tooLong.claim(QByteArray(limit, 'x')), SingleInstance::Claim::failed);
    EXPECT_EQ(tooLong.errorString(), "The request is longer than 8 MiB");
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("other"))));
}

TEST(SingleInstanceRequests, AStartStopsReadingAnAnswerThatHasNoEnd) {
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("socket")).toStdString();
    QProcess flood;
    flood.setProcessChannelMode(QProcess::MergedChannels);
    flood.start(QStringLiteral(TANDREL_SOCKET_PEER),
                {QStringLiteral("flood"), QString::fromStdString(path)});
    ASSERT_TRUE(flood.waitForReadyRead(10'000));
    SingleInstance start(QString::fromStdString(path));
    EXPECT_EQ(start.claim("{}"), SingleInstance::Claim::handedOver);
    EXPECT_EQ(start.answer(), std::nullopt);
    flood.kill();
    flood.waitForFinished();
}

} // namespace
} // namespace tandrel
