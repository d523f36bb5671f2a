#pragma once

// How long the thread's event loop leaves a timer waiting, for tests that a stretch of work
// never holds the loop: a precise timer ticks every few milliseconds, and each gap between two
// ticks is noted twice, as the time that passed and as the CPU time the thread itself spent
// in it. The CPU time is what the work took: a loaded machine that runs the thread late
// lengthens the gap, not the work, so a test holds the work to its bound and the gap only to
// a generous one, and stays steady on a busy CI machine.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <ctime>

namespace tandrel::testing {

class EventLoopWatch {
public:
    using Duration = std::chrono::nanoseconds;

    EventLoopWatch() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(std::chrono::milliseconds(5));
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        reset();
        timer_.start();
    }

    // Forgets what it noted; the next gap starts now.
    void reset() {
        lastWall_ = std::chrono::steady_clock::now();
        lastWork_ = threadTime();
        longestGap_ = longestWork_ = Duration::zero();
    }

    // Runs the thread's event loop for `duration`, ticking.
    void runFor(Duration duration) {
        QEventLoop loop;
        QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(duration), &loop,
                           &QEventLoop::quit);
        loop.exec();
        tick();
    }

    // The longest gap between two ticks, and the most CPU time the thread spent in one.
    Duration longestGap() const { return longestGap_; }
    Duration longestWork() const { return longestWork_; }

private:
    static Duration threadTime() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
    }

    void tick() {
        const auto wall = std::chrono::steady_clock::now();
        const Duration work = threadTime();
        longestGap_ = std::max(longestGap_, Duration(wall - lastWall_));
        longestWork_ = std::max(longestWork_, work - lastWork_);
        lastWall_ = wall;
        lastWork_ = work;
    }

    QTimer timer_;
    std::chrono::steady_clock::time_point lastWall_;
    Duration lastWork_{};
    Duration longestGap_{};
    Duration longestWork_{};
};

} // namespace tandrel::testing
