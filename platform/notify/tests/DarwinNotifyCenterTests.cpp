// Needs a session bus: ctest runs under dbus-run-session (scripts/test).

#include "platform/notify/DarwinNotifyCenter.h"

#include <gtest/gtest.h>

#include <QThread>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <semaphore>
#include <set>
#include <string>
#include <vector>

namespace platform {
namespace {

using namespace std::chrono_literals;

// What the centre delivered, in order, and on which threads; `awaitCount` waits for the
// postings instead of sleeping (and gives up after a minute, so that a lost posting fails the
// test rather than hanging it).
class Deliveries {
public:
    DarwinNotifyCenter::Callback callback(std::string tag) {
        return [this, tag](const std::string &name) {
            {
                std::lock_guard guard(lock_);
                seen_.push_back(tag + ":" + name);
                threads_.push_back(QThread::currentThread());
            }
            arrived_.release();
        };
    }
    bool awaitCount(int count) {
        for (int i = 0; i < count; ++i) {
            if (!arrived_.try_acquire_for(60s)) {
                return false;
            }
        }
        return true;
    }
    std::vector<std::string> seen() {
        std::lock_guard guard(lock_);
        return seen_;
    }
    std::vector<QThread *> threads() {
        std::lock_guard guard(lock_);
        return threads_;
    }

private:
    std::mutex lock_;
    std::vector<std::string> seen_;
    std::vector<QThread *> threads_;
    std::counting_semaphore<> arrived_{0};
};

class DarwinNotifyCenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DBUS_SESSION_BUS_ADDRESS") == nullptr) {
            GTEST_SKIP() << "no D-Bus session bus; run under dbus-run-session";
        }
    }
};

TEST_F(DarwinNotifyCenterTest, APostingReachesEachObserverOfItsNameOnceOffTheMainThread) {
    Deliveries deliveries;
    const int first = 0, second = 0, other = 0;
    DarwinNotifyCenter::addObserver(&first, "test.delivery.a", deliveries.callback("first"));
    // Registering the same observer again replaces its callback.
    DarwinNotifyCenter::addObserver(&second, "test.delivery.a", deliveries.callback("stale"));
    DarwinNotifyCenter::addObserver(&second, "test.delivery.a", deliveries.callback("second"));
    DarwinNotifyCenter::addObserver(&other, "test.delivery.b", deliveries.callback("other"));

    DarwinNotifyCenter::post("test.delivery.a");
    DarwinNotifyCenter::post("test.delivery.unobserved");
    // Postings arrive in order, so once this one is in, the first has been delivered whole.
    DarwinNotifyCenter::post("test.delivery.b");
    ASSERT_TRUE(deliveries.awaitCount(3)) << ::testing::PrintToString(deliveries.seen());

    const std::vector<std::string> seen = deliveries.seen();
    const std::multiset<std::string> firstPosting(seen.begin(), seen.begin() + 2);
    EXPECT_EQ(firstPosting,
              (std::multiset<std::string>{"first:test.delivery.a", "second:test.delivery.a"}));
    EXPECT_EQ(seen.at(2), "other:test.delivery.b");
    for (QThread *thread : deliveries.threads()) {
        EXPECT_NE(thread, QThread::currentThread());
    }
}

} // namespace
} // namespace platform
