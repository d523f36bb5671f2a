#pragma once

#include "core/support/FileAccess.h"
#include "core/support/Log.h"
#include "core/support/PrivateFolder.h"
#include "core/support/Uuid.h"
#include "host/feedback/RetryQueueEntry.h"
#include "host/feedback/RetryQueueFile.h"
#include "platform/runtime/LockFile.h"

#include <QFile>
#include <QLockFile>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tandrel {

// An executor failure of this kind tells the queue not to try the entry again.
class PermanentRetryFailure : public std::exception {};

// Keeps operations that failed and carries them out again until they succeed or are given up.
// What carrying out means is the executor's business; the queue stores the operations (JSON
// records) in its file, so they survive restarts, counts failed attempts per entry, pauses
// after each failure by the backoff table and gives an entry up after `maxAttempts` failures,
// or at once on a PermanentRetryFailure. Given-up entries stay in memory as dead letters.
//
// A file has one queue at a time (the host's, or a command-line tool's): each writes its whole
// list, so two would erase each other's entries and bring delivered ones back. The queue holds
// the lock file "<file>.lock" from when it takes it to its end; while it cannot take it, it
// neither reads nor writes the file and keeps its entries in memory, and it tries again each
// time it needs the file (to write it, to resume, at its end): once it holds the lock, the
// file's entries join its own, after them, and all are written. The file, its lock and the
// folder the queue makes for them are the user's alone; a folder or lock that another user owns
// or may write is not used (the queue stays in memory, and says why). A lock whose owner cannot
// be read (its maker was killed before it wrote its name) is stale after a few seconds.
//
// Confined to one thread (the host's main thread): every call and every completion of the
// executor and of the pause must come on it. Completions may come at once, inside the call
// that started them, or later from the event loop; a completion that comes twice, or after
// the queue is gone, does nothing.
//
// The drain is a state machine:
//
//     idle ──resume()──▶ ready ──head taken──▶ attempting ──completion──▶ settled
//       ▲                 ▲  └──no entry or no executor──▶ idle              │
//       │                 ├────────────success, or the entry was cancelled───┤
//       │                 ├────────────given up (dead letter)────────────────┤
//       │                 └──wake── pausing ◀──────────failure, counted──────┘
//       └── the queue is destroyed (from any state)
//
// Only the head entry is worked on, so entries behind a failing head wait until it succeeds or
// is given up; the head is taken anew at every pass, so entries added, replaced or cancelled
// meanwhile are seen at the next one.
template <typename Operation> class PersistentRetryQueue {
public:
    using Entry = RetryQueueEntry<Operation>;
    // Called once when an attempt ends: no exception for success, else why it failed.
    using Completion = std::function<void(std::exception_ptr failure)>;
    // Starts carrying out one operation and calls the completion when it has ended; an
    // exception thrown by the executor itself counts as a failed attempt.
    using Executor = std::function<void(const Operation &operation, Completion done)>;
    // Waits the given seconds, then calls `wake` once.
    using Sleep = std::function<void(double seconds, std::function<void()> wake)>;

    // No file keeps the queue in memory only; a file that another queue holds, until the lock
    // can be taken. An empty backoff pauses 1 second after every failure; a maximum below 1
    // counts as 1. Without a sleep, pauses wait on a timer of the event loop. The file's
    // entries are loaded; nothing starts until an executor is set.
    PersistentRetryQueue(std::optional<std::filesystem::path> storeURL, std::vector<double> backoff,
                         int64_t maxAttempts, Sleep sleep = {})
        : machine_(std::make_shared<Machine>()) {
        machine_->storeURL = std::move(storeURL);
        machine_->takeFile();
        machine_->backoff = backoff.empty() ? std::vector<double>{1.0} : std::move(backoff);
        machine_->maxAttempts = std::max<int64_t>(maxAttempts, 1);
        machine_->sleep = sleep ? std::move(sleep) : timerSleep(machine_->timers);
    }
    ~PersistentRetryQueue() {
        // A last try for what would otherwise be lost with the memory that holds it.
        if (!machine_->file && !machine_->entries.empty()) {
            machine_->persist();
        }
        machine_->closed = true;
    }
    PersistentRetryQueue(const PersistentRetryQueue &) = delete;
    PersistentRetryQueue &operator=(const PersistentRetryQueue &) = delete;

    std::size_t pendingCount() const { return machine_->entries.size(); }
    // Entries given up since the queue was made.
    std::size_t deadLetterCount() const { return machine_->deadLetter.size(); }
    const std::deque<Entry> &pendingEntries() const { return machine_->entries; }
    // Why the queue does not keep its file, while it does not ("is held by another queue", or
    // a refused folder or file); empty while it does, or has no file.
    std::string fileProblem() const {
        const Machine &m = *machine_;
        if (m.file) {
            return m.file->refusal();
        }
        return m.storeURL ? m.lockProblem : std::string();
    }

    // Replaces the executor (an empty one removes it) and resumes.
    void setExecutor(Executor executor) {
        machine_->executor = std::move(executor);
        resume();
    }

    // With a key that a pending entry has, that entry takes the operation and starts counting
    // anew, keeping its id and place; otherwise a new entry goes to the end. Writes the file,
    // resumes, and answers whether the file holds the entry (always false without a file of
    // its own).
    bool enqueue(Operation operation, std::optional<std::string> dedupKey = std::nullopt) {
        Machine &m = *machine_;
        auto same = dedupKey ? std::find_if(m.entries.begin(), m.entries.end(),
                                            [&](const Entry &e) { return e.dedupKey == dedupKey; })
                             : m.entries.end();
        if (same != m.entries.end()) {
            same->operation = std::move(operation);
            same->attempts = 0;
        } else {
            m.entries.push_back(
                Entry{Uuid::random(), std::move(operation), std::move(dedupKey), 0});
        }
        const bool stored = m.persist();
        resume();
        return stored;
    }

    // Removes every pending entry with the key and answers how many; the file is written only
    // when some were. An attempt already running for one of them runs on, and its outcome is
    // dropped.
    int64_t cancel(const std::string &dedupKey) {
        const auto removed = std::erase_if(
            machine_->entries, [&](const Entry &entry) { return entry.dedupKey == dedupKey; });
        if (removed > 0) {
            machine_->persist();
        }
        return static_cast<int64_t>(removed);
    }

    // Starts the drain when an executor is set, entries wait and no drain runs.
    void resume() {
        Machine &m = *machine_;
        if (!m.file) {
            m.takeFile();
        }
        if (m.state == State::idle && m.executor && !m.entries.empty()) {
            m.state = State::ready;
            m.pump();
        }
    }

private:
    enum class State { idle, ready, attempting, settled, pausing };

    struct Machine : std::enable_shared_from_this<Machine> {
        // A deque: the drain takes entries from the front.
        std::deque<Entry> entries;
        std::vector<Entry> deadLetter;
        // The file the queue is meant to keep, and, while it holds the file's lock, the file.
        std::optional<std::filesystem::path> storeURL;
        std::unique_ptr<QLockFile> lock;
        std::optional<RetryQueueFile> file;
        std::string lockProblem;
        std::vector<double> backoff;
        int64_t maxAttempts = 1;
        Executor executor;
        Sleep sleep;
        std::unique_ptr<QObject> timers = std::make_unique<QObject>();

        State state = State::idle;
        // The entry of the running or last attempt, and how that attempt ended.
        Uuid attempted;
        std::exception_ptr failure;
        // Tells the completion or wake that is awaited from stale or repeated ones.
        uint64_t ticket = 0;
        bool pumping = false;
        bool closed = false;

        bool persist() {
            if (!file && !takeFile()) {
                return false;
            }
            return file->save(entries);
        }

        // Takes the file's lock when the queue has a file and does not hold it yet; the file's
        // entries then join the queue's, after them, and are written with them. True when the
        // queue holds the file now.
        bool takeFile() {
            if (file) {
                return true;
            }
            if (!storeURL || !(lock = lockFor(*storeURL, lockProblem))) {
                return false;
            }
            file.emplace(*storeURL);
            auto loaded = file->template load<Operation>();
            if (loaded.empty()) {
                return true;
            }
            const bool hadEntries = !entries.empty();
            for (Entry &entry : loaded) {
                if (std::none_of(entries.begin(), entries.end(),
                                 [&](const Entry &e) { return e.id == entry.id; })) {
                    entries.push_back(std::move(entry));
                }
            }
            if (hadEntries) {
                file->save(entries);
            }
            return true;
        }

        // Runs transitions until the machine waits for a completion or a wake, or is idle.
        // Completions that come inside a step only record their outcome, so a long run of
        // immediate completions is a loop, not a recursion.
        void pump() {
            if (pumping) {
                return;
            }
            pumping = true;
            const auto keepAlive = this->shared_from_this();
            while (!closed && (state == State::ready || state == State::settled)) {
                if (state == State::ready) {
                    startAttempt();
                } else {
                    settle();
                }
            }
            pumping = false;
        }

        void startAttempt() {
            if (entries.empty() || !executor) {
                state = State::idle;
                return;
            }
            const Entry head = entries.front();
            attempted = head.id;
            state = State::attempting;
            const uint64_t awaited = ++ticket;
            Completion done = [weak = this->weak_from_this(), awaited](std::exception_ptr failure) {
                if (const auto self = weak.lock()) {
                    self->attemptEnded(awaited, std::move(failure));
                }
            };
            // A copy: the executor may replace itself while it runs.
            const Executor execute = executor;
            try {
                execute(head.operation, done);
            } catch (...) {
                done(std::current_exception());
            }
        }

        void attemptEnded(uint64_t awaited, std::exception_ptr outcome) {
            if (closed || state != State::attempting || awaited != ticket) {
                return;
            }
            failure = std::move(outcome);
            state = State::settled;
            pump();
        }

        void settle() {
            const std::exception_ptr outcome = std::exchange(failure, nullptr);
            state = State::ready;
            if (!outcome) {
                // Unless it was cancelled meanwhile, the head is still the entry carried out.
                if (!entries.empty() && entries.front().id == attempted) {
                    entries.erase(entries.begin());
                    persist();
                }
                return;
            }
            const auto entry = std::find_if(entries.begin(), entries.end(),
                                            [&](const Entry &e) { return e.id == attempted; });
            if (entry == entries.end()) {
                return;
            }
            // Counts read from a file may be anything; neither end may overflow.
            if (entry->attempts < std::numeric_limits<int64_t>::max()) {
                ++entry->attempts;
            }
            if (isPermanent(outcome) || entry->attempts >= maxAttempts) {
                deadLetter.push_back(std::move(*entry));
                entries.erase(entry);
                persist();
                return;
            }
            const int64_t last = static_cast<int64_t>(backoff.size()) - 1;
            const double pause = backoff[static_cast<std::size_t>(
                std::clamp<int64_t>(entry->attempts - 1, 0, last))];
            persist();
            state = State::pausing;
            const uint64_t awaited = ++ticket;
            sleep(pause, [weak = this->weak_from_this(), awaited] {
                if (const auto self = weak.lock()) {
                    self->pauseEnded(awaited);
                }
            });
        }

        void pauseEnded(uint64_t awaited) {
            if (closed || state != State::pausing || awaited != ticket) {
                return;
            }
            state = State::ready;
            pump();
        }

        static bool isPermanent(const std::exception_ptr &failure) {
            try {
                std::rethrow_exception(failure);
            } catch (const PermanentRetryFailure &) {
                return true;
            } catch (...) {
                return false;
            }
        }
    };

    // Pauses on single-shot timers owned by `context`, so they end with the queue. A pause
    // that is not finite or below 0 is no pause; one beyond a timer's reach waits that long.
    static Sleep timerSleep(const std::unique_ptr<QObject> &context) {
        return [context = context.get()](double seconds, std::function<void()> wake) {
            const double milliseconds = std::isfinite(seconds) ? seconds * 1000.0 : 0.0;
            const int interval = milliseconds <= 0.0 ? 0
                                 : milliseconds >= static_cast<double>(INT_MAX)
                                     ? INT_MAX
                                     : static_cast<int>(milliseconds);
            QTimer::singleShot(interval, context, std::move(wake));
        };
    }

    // The file's lock, taken before anything is read, in a folder that is the user's alone; none
    // when another queue holds it or the folder or lock is refused (said in the log once per
    // reason, and kept in `problem`). Its age says nothing: a queue holds it for hours, and only
    // a holder that has gone (or a boot since) makes it stale, or, for a lock without a holder
    // to read, a few seconds without one.
    static std::unique_ptr<QLockFile> lockFor(const std::filesystem::path &file,
                                              std::string &problem) {
        std::filesystem::path lockPath = file;
        lockPath += ".lock";
        std::string why;
        std::unique_ptr<QLockFile> lock;
        try {
            const PrivateFolder folder =
                PrivateFolder::open(file.parent_path(), PrivateFolder::Missing::create);
            folder.checkEntry(lockPath.filename().string());
            lock = std::make_unique<QLockFile>(
                QFile::decodeName(QByteArray::fromStdString(lockPath.native())));
            lock->setStaleLockTime(0);
            if (platform::tryLock(*lock, std::chrono::milliseconds(0))) {
                // QLockFile makes it as the umask allows; it names this process and machine.
                std::error_code ignored;
                restrictToUser(lockPath, ignored);
                problem.clear();
                return lock;
            }
            why = lock->error() == QLockFile::LockFailedError ? "is held by another queue"
                                                              : "cannot be locked";
        } catch (const NotOursError &error) {
            why = std::string("is not used: ") + error.what();
        } catch (const std::filesystem::filesystem_error &error) {
            why = std::string("cannot be locked: ") + error.what();
        }
        if (why != problem) {
            logger("com.ostrevale.tandrel.host", "feedback")
                ->warn("Retry queue file '{}' {}; entries are kept in memory until it can be",
                       file.string(), why);
        }
        problem = why;
        return nullptr;
    }

    std::shared_ptr<Machine> machine_;
};

} // namespace tandrel
