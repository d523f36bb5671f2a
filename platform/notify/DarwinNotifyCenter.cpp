#include "platform/notify/DarwinNotifyCenter.h"

#include "core/support/Log.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QObject>
#include <QThread>

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace platform {

namespace {

auto log() {
    return tandrel::logger("com.ostrevale.tandrel", "notify");
}

// Takes the bus's signals on the centre's thread and hands each name to its observers.
class Receiver : public QObject {
    Q_OBJECT
public slots:
    void posted(const QString &name);
};

struct Centre {
    std::mutex observersLock;
    std::map<std::pair<const void *, std::string>, DarwinNotifyCenter::Callback> observers;

    // Guards the subscription: the thread, its receiver, and whether the bus sends to it.
    std::mutex subscriptionLock;
    QThread *thread = nullptr;
    Receiver *receiver = nullptr;
    bool subscribed = false;

    std::atomic<bool> warned{false};
};

// Kept for the life of the process, so that no posting ever finds it gone; its thread ends
// with the application object.
Centre &centre() {
    static Centre *const instance = new Centre;
    return *instance;
}

void Receiver::posted(const QString &name) {
    const std::string text = name.toStdString();
    std::vector<DarwinNotifyCenter::Callback> callbacks;
    {
        std::lock_guard guard(centre().observersLock);
        for (const auto &[key, callback] : centre().observers) {
            if (key.second == text) {
                callbacks.push_back(callback);
            }
        }
    }
    for (const auto &callback : callbacks) {
        callback(text);
    }
}

// The centre's own connection to the session bus, when there is one. Not the process's shared
// one: that holds its deliveries back until the main thread's event loop runs.
std::optional<QDBusConnection> sessionBus() {
    QString missing;
    if (QCoreApplication::instance() == nullptr) {
        missing = "there is no application object yet";
    } else if (QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                                   "com.ostrevale.DarwinNotify");
               bus.isConnected()) {
        return bus;
    } else {
        missing = "there is no D-Bus session bus (" + bus.lastError().message() + ")";
    }
    if (!centre().warned.exchange(true)) {
        log()->warn("Cross-process notifications are off: {}", missing.toStdString());
    }
    return std::nullopt;
}

// A call that the bus answers itself, after everything this connection sent before it.
void roundTrip(QDBusConnection &bus) {
    bus.call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                            "org.freedesktop.DBus", "GetId"));
}

// Ends the centre's thread, if it runs; the caller holds the subscription lock.
void endThread(Centre &c) {
    if (c.thread != nullptr) {
        c.thread->quit();
        c.thread->wait();
        delete c.receiver;
        delete c.thread;
        c.receiver = nullptr;
        c.thread = nullptr;
    }
    c.subscribed = false;
}

// Ends the centre's thread before the application object and its bus connection go.
void stopDelivery() {
    Centre &c = centre();
    std::lock_guard guard(c.subscriptionLock);
    endThread(c);
}

// Makes the bus send every posting to the centre's thread; once is enough for all names.
void subscribe() {
    Centre &c = centre();
    std::lock_guard guard(c.subscriptionLock);
    if (c.subscribed) {
        return;
    }
    std::optional<QDBusConnection> bus = sessionBus();
    if (!bus) {
        return;
    }
    c.thread = new QThread;
    c.thread->setObjectName("DarwinNotifyCenter");
    c.receiver = new Receiver;
    c.receiver->moveToThread(c.thread);
    c.thread->start();
    if (!bus->connect(QString(), DarwinNotifyCenter::busPath, DarwinNotifyCenter::busInterface,
                      DarwinNotifyCenter::busMember, c.receiver, SLOT(posted(QString)))) {
        log()->error("Cannot observe cross-process notifications: {}",
                     bus->lastError().message().toStdString());
        // The next observer tries again from the start, with nothing left running.
        endThread(c);
        return;
    }
    // Registered after the bus connection exists, so that it runs before the connection's
    // own teardown; once per subscription.
    qAddPostRoutine(stopDelivery);
    // The bus has taken the subscription once it answers a later call.
    roundTrip(*bus);
    c.subscribed = true;
}

} // namespace

bool DarwinNotifyCenter::isAvailable() {
    return sessionBus().has_value();
}

void DarwinNotifyCenter::post(const std::string &name) {
    std::optional<QDBusConnection> bus = sessionBus();
    if (!bus) {
        return;
    }
    QDBusMessage message = QDBusMessage::createSignal(busPath, busInterface, busMember);
    message << QString::fromStdString(name);
    if (!bus->send(message)) {
        log()->error("Cannot post {}: {}", name, bus->lastError().message().toStdString());
        return;
    }
    roundTrip(*bus);
}

void DarwinNotifyCenter::addObserver(const void *observer, const std::string &name,
                                     Callback callback) {
    {
        std::lock_guard guard(centre().observersLock);
        centre().observers[{observer, name}] = std::move(callback);
    }
    subscribe();
}

} // namespace platform

#include "DarwinNotifyCenter.moc"
