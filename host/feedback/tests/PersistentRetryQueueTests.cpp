#include "host/feedback/PersistentRetryQueue.h"

#include "core/tests/FileMode.h"
#include "core/tests/TemporaryFolder.h"

#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace tandrel {
namespace {

using testing::TemporaryFolder;
using Queue = PersistentRetryQueue<std::string>;
using Entry = Queue::Entry;

struct Refused : PermanentRetryFailure {};

std::exception_ptr offline() {
    return std::make_exception_ptr(std::runtime_error("offline"));
}

const std::vector<double> feedbackPauses{1, 5, 30, 120, 600, 3600};

// The queue with a fake executor and a fake pause: attempts and pauses are recorded; they end
// at once, or when the test says so.
class RetryQueueTest : public ::testing::Test {
protected:
    std::unique_ptr<Queue> make(std::vector<double> backoff = feedbackPauses,
                                int64_t maxAttempts = 12) {
        return std::make_unique<Queue>(file, std::move(backoff), maxAttempts,
                                       [this](double seconds, std::function<void()> wake) {
                                           pauses.push_back(seconds);
                                           if (wakeAtOnce) {
                                               wake();
                                           } else {
                                               asleep.push_back(std::move(wake));
                                           }
                                       });
    }

    // Ends every attempt at once with `outcome(operation)`.
    Queue::Executor endingWith(std::function<std::exception_ptr(const std::string &)> outcome) {
        return [this, outcome](const std::string &operation, Queue::Completion done) {
            attempted.push_back(operation);
            done(outcome(operation));
        };
    }
    // Leaves every attempt running until the test ends it through `running`.
    Queue::Executor holding() {
        return [this](const std::string &operation, Queue::Completion done) {
            attempted.push_back(operation);
            running.push_back(std::move(done));
        };
    }

    void writeFile(const std::vector<Entry> &entries) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << RetryQueueFile::encode(entries);
    }
    std::string fileText() const {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::vector<Entry> stored() const {
        return RetryQueueFile::decode<std::string>(fileText()).entries;
    }

    TemporaryFolder temp;
    std::filesystem::path file = temp.path() / "Tandrel" / "feedback_retry_queue.json";
    bool wakeAtOnce = true;
    std::vector<std::string> attempted;
    std::vector<double> pauses;
    std::vector<Queue::Completion> running;
    std::vector<std::function<void()>> asleep;
};

TEST_F(RetryQueueTest, GivesAnEntryUpAfterTwelveFailedAttemptsWithTheBackoffBetween) {
    auto queue = make();
    queue->setExecutor(endingWith([](const std::string &) { return offline(); }));
    queue->enqueue("a");

    EXPECT_EQ(attempted, std::vector<std::string>(12, "a"));
    EXPECT_EQ(pauses,
              (std::vector<double>{1, 5, 30, 120, 600, 3600, 3600, 3600, 3600, 3600, 3600}));
    EXPECT_EQ(queue->pendingCount(), 0u);
    EXPECT_EQ(queue->deadLetterCount(), 1u);
    EXPECT_EQ(fileText(), "[]");
}

TEST_F(RetryQueueTest, APermanentFailureGivesTheEntryUpAtOnce) {
    auto queue = make();
    queue->setExecutor(endingWith([](const std::string &operation) {
        return operation == "refused" ? std::make_exception_ptr(Refused()) : nullptr;
    }));
    queue->enqueue("refused");
    queue->enqueue("fine");

    EXPECT_EQ(attempted, (std::vector<std::string>{"refused", "fine"}));
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(queue->deadLetterCount(), 1u);
    EXPECT_EQ(fileText(), "[]");
}

TEST_F(RetryQueueTest, MendsAnEmptyBackoffAndAMaximumBelowOne) {
    const struct {
        std::vector<double> backoff;
        int64_t maxAttempts;
        std::size_t attempts;
        std::vector<double> pauses;
    } cases[] = {
        {{}, 3, 3, {1, 1}},
        {{2}, 0, 1, {}},
        {{2}, -5, 1, {}},
        {{2}, 1, 1, {}},
    };
    for (const auto &c : cases) {
        attempted.clear();
        pauses.clear();
        auto queue = make(c.backoff, c.maxAttempts);
        queue->setExecutor(endingWith([](const std::string &) { return offline(); }));
        queue->enqueue("a");
        EXPECT_EQ(attempted.size(), c.attempts) << c.maxAttempts;
        EXPECT_EQ(pauses, c.pauses) << c.maxAttempts;
        EXPECT_EQ(queue->deadLetterCount(), 1u);
    }
}

TEST_F(RetryQueueTest, AnEnqueueWithAKnownKeyReplacesThatEntryInPlace) {
    const Entry keyed{Uuid::random(), "draft 1", "k", 4};
    const Entry other{Uuid::random(), "other", std::nullopt, 2};
    writeFile({keyed, other});
    auto queue = make();

    queue->enqueue("draft 2", "k");
    queue->enqueue("same", std::nullopt);
    queue->enqueue("same", std::nullopt);

    const auto entries = stored();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0], (Entry{keyed.id, "draft 2", "k", 0}));
    EXPECT_EQ(entries[1], other);
    EXPECT_EQ(entries[2].operation, "same");
    EXPECT_EQ(entries[3].operation, "same");
    EXPECT_NE(entries[2].id, entries[3].id);
    EXPECT_TRUE(std::equal(entries.begin(), entries.end(), queue->pendingEntries().begin(),
                           queue->pendingEntries().end()));
    // Without an executor nothing was carried out.
    EXPECT_TRUE(attempted.empty());
}

TEST_F(RetryQueueTest, CancelRemovesEveryEntryWithTheKeyAndWritesOnlyWhenSomeWent) {
    // Only a file can hold several entries with one key: an enqueue replaces.
    std::vector<Entry> entries;
    for (const char *key : {"k", "other", "k", "", "k"}) {
        entries.push_back(
            {Uuid::random(), "op", *key ? std::optional<std::string>(key) : std::nullopt, 0});
    }
    writeFile(entries);
    auto queue = make();
    EXPECT_EQ(queue->cancel("k"), 3);
    EXPECT_EQ(queue->pendingCount(), 2u);
    EXPECT_EQ(stored().size(), 2u);

    std::ofstream(file, std::ios::binary) << "untouched";
    EXPECT_EQ(queue->cancel("unknown"), 0);
    EXPECT_EQ(fileText(), "untouched");
}

// An entry cancelled while its attempt runs is neither removed twice nor counted.
TEST_F(RetryQueueTest, TheOutcomeOfACancelledEntrysAttemptIsDropped) {
    for (const bool succeeded : {true, false}) {
        attempted.clear();
        running.clear();
        std::filesystem::remove(file);
        auto queue = make();
        queue->setExecutor(holding());
        queue->enqueue("a", "k");
        queue->enqueue("b");
        ASSERT_EQ(attempted, std::vector<std::string>{"a"});

        EXPECT_EQ(queue->cancel("k"), 1);
        running.front()(succeeded ? nullptr : offline());

        EXPECT_EQ(attempted, (std::vector<std::string>{"a", "b"})) << succeeded;
        EXPECT_TRUE(pauses.empty());
        ASSERT_EQ(stored().size(), 1u);
        EXPECT_EQ(stored()[0].operation, "b");
        EXPECT_EQ(stored()[0].attempts, 0);
    }
}

// A new run carries a stored entry out at once and counts on from the stored attempts.
TEST_F(RetryQueueTest, ARestartGoesOnCountingWithoutAFirstPause) {
    const struct {
        int64_t storedAttempts;
        std::vector<double> pauses;
        std::size_t pending;
    } cases[] = {
        {0, {1}, 1},
        {5, {3600}, 1},
        {11, {}, 0},
    };
    wakeAtOnce = false;
    for (const auto &c : cases) {
        pauses.clear();
        writeFile({Entry{Uuid::random(), "old", std::nullopt, c.storedAttempts}});
        auto queue = make();
        queue->setExecutor(endingWith([&](const std::string &) {
            // Carried out before any pause.
            EXPECT_TRUE(pauses.empty());
            return offline();
        }));
        EXPECT_EQ(pauses, c.pauses) << c.storedAttempts;
        EXPECT_EQ(queue->pendingCount(), c.pending);
        if (c.pending > 0) {
            EXPECT_EQ(stored()[0].attempts, c.storedAttempts + 1);
        }
    }
}

TEST_F(RetryQueueTest, TheHeadBlocksTheEntriesBehindItAndIsTakenAnewAfterEachPause) {
    wakeAtOnce = false;
    bool headFails = true;
    auto queue = make();
    queue->setExecutor(endingWith([&](const std::string &operation) {
        return operation == "head" && headFails ? offline() : nullptr;
    }));
    queue->enqueue("head");
    queue->enqueue("behind");
    EXPECT_EQ(attempted, std::vector<std::string>{"head"});

    asleep.back()();
    EXPECT_EQ(attempted, (std::vector<std::string>{"head", "head"}));
    EXPECT_EQ(pauses, (std::vector<double>{1, 5}));

    headFails = false;
    queue->enqueue("added during the pause");
    asleep.back()();
    EXPECT_EQ(attempted, (std::vector<std::string>{"head", "head", "head", "behind",
                                                   "added during the pause"}));
    EXPECT_EQ(fileText(), "[]");
}

TEST_F(RetryQueueTest, WithoutAnExecutorEntriesWaitUntilOneIsSet) {
    auto queue = make();
    EXPECT_TRUE(queue->enqueue("a"));
    queue->resume();
    EXPECT_TRUE(attempted.empty());
    EXPECT_EQ(stored().size(), 1u);

    queue->setExecutor(endingWith([](const std::string &) { return nullptr; }));
    EXPECT_EQ(attempted, std::vector<std::string>{"a"});
    EXPECT_EQ(fileText(), "[]");
}

TEST_F(RetryQueueTest, WithoutAFileTheQueueWorksInMemoryAndWritesNothing) {
    Queue queue(std::nullopt, feedbackPauses, 12);
    EXPECT_FALSE(queue.enqueue("a"));
    EXPECT_EQ(queue.pendingCount(), 1u);
    EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
}

// Immediate completions are a loop, not a recursion: a long queue cannot exhaust the stack.
TEST_F(RetryQueueTest, ALongRunOfImmediateCompletionsDoesNotNest) {
    Queue queue(std::nullopt, feedbackPauses, 12);
    for (int i = 0; i < 100000; ++i) {
        queue.enqueue("x");
    }
    std::size_t carriedOut = 0;
    queue.setExecutor([&](const std::string &, Queue::Completion done) {
        ++carriedOut;
        done(nullptr);
    });
    EXPECT_EQ(carriedOut, 100000u);
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST_F(RetryQueueTest, CompletionsThatComeTwiceOrAfterTheQueueIsGoneDoNothing) {
    auto queue = make();
    queue->setExecutor(holding());
    queue->enqueue("a");
    queue->enqueue("b");
    const Queue::Completion first = running.front();
    first(nullptr);
    first(offline());
    EXPECT_EQ(attempted, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(pauses.empty());

    queue.reset();
    running.back()(nullptr);
    EXPECT_EQ(stored().size(), 1u);
}

// The host and the command-line tool may both make a queue on the one file: only the first
// reads and writes it, so neither erases the other's entries nor brings delivered ones back.
TEST_F(RetryQueueTest, OnlyOneQueueAtATimeKeepsAFile) {
    writeFile({Entry{Uuid::random(), "old", std::nullopt, 2}});
    auto host = make();
    auto tool = make();
    EXPECT_EQ(tool->pendingCount(), 0u);
    EXPECT_FALSE(tool->enqueue("from the tool"));
    EXPECT_EQ(tool->pendingCount(), 1u);

    EXPECT_TRUE(host->enqueue("from the host"));
    host->setExecutor(endingWith([](const std::string &) { return nullptr; }));
    EXPECT_EQ(attempted, (std::vector<std::string>{"old", "from the host"}));
    EXPECT_EQ(fileText(), "[]");
    tool.reset();
    EXPECT_EQ(fileText(), "[]");

    // Once the holder has gone, the next queue takes the file over.
    host.reset();
    auto next = make();
    EXPECT_TRUE(next->enqueue("later"));
    ASSERT_EQ(stored().size(), 1u);
    EXPECT_EQ(stored()[0].operation, "later");
}

// A tool run at the moment the host starts holds the file: the host's queue takes it once the
// tool has gone, the next time it needs the file, and keeps the tool's entries with its own,
// so nothing the host was given in the meantime is lost at its end.
TEST_F(RetryQueueTest, AQueueThatFoundTheFileHeldTakesItWhenItNextNeedsIt) {
    writeFile({Entry{Uuid::random(), "old", std::nullopt, 2}});
    auto tool = make();
    auto host = make();
    EXPECT_FALSE(host->enqueue("while the tool ran"));
    EXPECT_TRUE(tool->enqueue("from the tool"));
    tool.reset();

    EXPECT_TRUE(host->enqueue("after the tool"));
    std::vector<std::string> texts;
    for (const Entry &entry : stored()) {
        texts.push_back(entry.operation);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"while the tool ran", "after the tool", "old",
                                               "from the tool"}));
    EXPECT_EQ(host->pendingCount(), 4u);

    // Resuming takes it too, and a queue that ends without the file tries once more.
    host.reset();
    auto holder = make();
    auto late = make();
    EXPECT_FALSE(late->enqueue("kept in memory"));
    holder.reset();
    late->resume();
    EXPECT_EQ(stored().size(), 5u);
    late.reset();

    holder = make();
    auto quitting = make();
    EXPECT_FALSE(quitting->enqueue("at the end"));
    holder.reset();
    quitting.reset();
    ASSERT_EQ(stored().size(), 6u);
    EXPECT_EQ(stored().front().operation, "at the end");
}

// The queue holds the user's words, address and screenshot: its file, its lock and the folder
// it makes for them are the user's alone, also where an earlier build left them readable.
TEST_F(RetryQueueTest, ItsFileLockAndFolderAreTheUsersAlone) {
    const testing::TypicalUmask umask;
    std::filesystem::path lock = file;
    lock += ".lock";
    {
        auto queue = make();
        EXPECT_EQ(testing::modeOf(file.parent_path()), 0700u);
        EXPECT_EQ(testing::modeOf(lock), 0600u);
        EXPECT_TRUE(queue->enqueue("first"));
        EXPECT_EQ(testing::modeOf(file), 0600u);
    }

    // A file and folder that others could read: the folder was not made here and keeps its
    // mode, the file is narrowed at the next write, and so is what is kept aside.
    std::filesystem::permissions(file.parent_path(), std::filesystem::perms(0755));
    std::filesystem::permissions(file, std::filesystem::perms(0644));
    auto queue = make();
    EXPECT_EQ(testing::modeOf(lock), 0600u);
    EXPECT_TRUE(queue->enqueue("second"));
    EXPECT_EQ(testing::modeOf(file), 0600u);
    EXPECT_EQ(testing::modeOf(file.parent_path()), 0755u);
    EXPECT_EQ(stored().size(), 2u);
    queue.reset();

    std::ofstream(file, std::ios::binary | std::ios::trunc) << "not a queue";
    std::filesystem::permissions(file, std::filesystem::perms(0644));
    queue = make();
    EXPECT_TRUE(queue->enqueue("third"));
    for (const auto &entry : std::filesystem::directory_iterator(file.parent_path())) {
        EXPECT_EQ(testing::modeOf(entry.path()), 0600u) << entry.path();
    }
}

// A lock file whose owner cannot be read is what a process killed while it made the lock
// leaves: empty, or cut short. Once it is a few seconds old and nobody holds it, it is stale,
// and the queue keeps its file again; before that, or while a process holds it, it counts as
// held. What the lock's own owner line says is judged as before: a holder that has gone makes
// it stale at once, a live one keeps it for as long as it likes. A lock another user made is
// not used at all.
TEST_F(RetryQueueTest, ALockWhoseOwnerCannotBeReadGoesStaleAfterAFewSeconds) {
    std::filesystem::path lock = file;
    lock += ".lock";
    const auto age = [&](int seconds) {
        const timespec when[2] = {{::time(nullptr) - seconds, 0}, {::time(nullptr) - seconds, 0}};
        ::utimensat(AT_FDCWD, lock.c_str(), when, 0);
    };
    std::optional<QLockFile> liveHolder;
    int heldOpen = -1;
    const struct {
        const char *lock;
        std::function<void()> make;
        bool taken;
    } rows[] = {
        {"empty, 10 s old",
         [&] {
             std::ofstream(lock) << "";
             age(10);
         },
         true},
        {"cut short, 10 s old",
         [&] {
             std::ofstream(lock) << "12";
             age(10);
         },
         true},
        {"not a lock, 10 s old",
         [&] {
             std::ofstream(lock) << "hello\n";
             age(10);
         },
         true},
        {"empty, just made", [&] { std::ofstream(lock) << ""; }, false},
        {"empty, 10 s old, held by the process making it",
         [&] {
             std::ofstream(lock) << "";
             age(10);
             heldOpen = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
             ASSERT_EQ(::flock(heldOpen, LOCK_EX | LOCK_NB), 0);
         },
         false},
        {"of a holder that has gone", [&] { std::ofstream(lock) << "999999999\nembrik-host\n\n"; },
         true},
        {"of a live holder, hours old",
         [&] {
             liveHolder.emplace(QString::fromStdString(lock.string()));
             ASSERT_TRUE(liveHolder->tryLock(0));
             age(3 * 3600);
         },
         false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.lock);
        std::filesystem::remove_all(file.parent_path());
        std::filesystem::create_directories(file.parent_path());
        ::chmod(file.parent_path().c_str(), 0700);
        row.make();
        {
            auto queue = make();
            EXPECT_EQ(queue->enqueue("feedback"), row.taken);
            EXPECT_EQ(queue->fileProblem(), row.taken ? "" : "is held by another queue");
        }
        EXPECT_EQ(std::filesystem::exists(file), row.taken);
        liveHolder.reset();
        if (heldOpen >= 0) {
            ::close(heldOpen);
            heldOpen = -1;
        }
    }

    // Another user's lock in the queue's folder (made while the folder was open to all).
    if (::geteuid() == 0) {
        std::ofstream(lock) << "";
        age(10);
        ASSERT_EQ(::chown(lock.c_str(), 65534, 65534), 0);
        auto queue = make();
        EXPECT_FALSE(queue->enqueue("feedback"));
        EXPECT_EQ(queue->fileProblem(), "is not used: \"" + lock.string() +
                                            "\" is refused: it belongs to another user (nobody)");
    }
}

TEST_F(RetryQueueTest, TheDefaultPauseWakesFromTheEventLoop) {
    Queue queue(file, {0.0}, 12);
    int failures = 1;
    queue.setExecutor([&](const std::string &operation, Queue::Completion done) {
        attempted.push_back(operation);
        done(failures-- > 0 ? offline() : nullptr);
    });
    queue.enqueue("a");
    EXPECT_EQ(attempted.size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return queue.pendingCount() == 0; }, 30000));
    EXPECT_EQ(attempted.size(), 2u);
}

} // namespace
} // namespace tandrel
