#include "platform/runtime/MainQueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>

#include <atomic>
#include <memory>

namespace platform {

namespace {

std::atomic<int> pendingWork{0};

// Counts one piece of work from hand-over until it has run or Qt has dropped it with its
// context: the count falls when the last copy of the call goes.
struct PendingMark {
    PendingMark() { ++pendingWork; }
    ~PendingMark() { --pendingWork; }
    PendingMark(const PendingMark &) = delete;
    PendingMark &operator=(const PendingMark &) = delete;
};

} // namespace

void MainQueue::async(QObject *context, std::function<void()> work) {
    QMetaObject::invokeMethod(
        context, [work = std::move(work), mark = std::make_shared<PendingMark>()] { work(); },
        Qt::QueuedConnection);
}

int MainQueue::pending() {
    return pendingWork.load();
}

void MainQueue::runPending() {
    while (pendingWork.load() > 0) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    }
}

} // namespace platform
