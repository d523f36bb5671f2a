#include "platform/runtime/LockFile.h"

#include "core/support/FileDescriptor.h"
#include "core/support/Log.h"

#include <QFile>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <string>

namespace platform {

namespace {

// Takes away the lock file when its owner cannot be read, it is older than the stale time and
// no process holds it (a live holder keeps an exclusive lock on it from the moment it made
// it); true when it is gone, so that the lock can be tried again.
bool removeWhenUnreadableAndStale(QLockFile &lock) {
    qint64 pid = 0;
    QString hostname;
    QString application;
    if (lock.getLockInfo(&pid, &hostname, &application)) {
        return false;
    }
    const std::string path = QFile::encodeName(lock.fileName()).toStdString();
    const tandrel::FileDescriptor fd(
        ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        return errno == ENOENT;
    }
    struct stat held {};
    struct stat named {};
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    if (::fstat(fd.get(), &held) != 0 || !S_ISREG(held.st_mode) || held.st_uid != ::geteuid() ||
        now.tv_sec - held.st_mtim.tv_sec < unreadableLockStaleAfter.count() ||
        ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    // Held by nobody now, and still the file at the path, still without an owner to read.
    if (::lstat(path.c_str(), &named) != 0 || named.st_ino != held.st_ino ||
        named.st_dev != held.st_dev || lock.getLockInfo(&pid, &hostname, &application)) {
        return false;
    }
    if (::unlink(path.c_str()) != 0) {
        return false;
    }
    tandrel::logger("com.ostrevale.tandrel", "files")
        ->warn("Took away the lock {}: its owner could not be read, and nobody held it for {} s",
               path, now.tv_sec - held.st_mtim.tv_sec);
    return true;
}

} // namespace

bool tryLock(QLockFile &lock, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        if (lock.tryLock(0)) {
            return true;
        }
        if (lock.error() != QLockFile::LockFailedError) {
            return false;
        }
        if (removeWhenUnreadableAndStale(lock)) {
            continue;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return false;
        }
        QThread::msleep(static_cast<unsigned long>(std::min<long long>(left.count(), 50)));
    }
}

} // namespace platform
