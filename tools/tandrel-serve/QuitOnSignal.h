#pragma once

#include <initializer_list>
#include <memory>

class QSocketNotifier;

namespace tandrel::tools {

// Ends the application's event loop when one of the signals arrives. The handler only writes
// a byte into a pipe, which the event loop reads; one instance per process.
class QuitOnSignal {
public:
    explicit QuitOnSignal(std::initializer_list<int> signalNumbers);
    ~QuitOnSignal();
    QuitOnSignal(const QuitOnSignal &) = delete;
    QuitOnSignal &operator=(const QuitOnSignal &) = delete;

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace tandrel::tools
