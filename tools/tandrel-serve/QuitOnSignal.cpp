#include "tools/tandrel-serve/QuitOnSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>

namespace tandrel::tools {

namespace {

int pipeEnds[2] = {-1, -1};

extern "C" void wake(int) {
    const char byte = 1;
    // Nothing to do when the pipe is full: a wake-up is pending already.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
}

} // namespace

QuitOnSignal::QuitOnSignal(std::initializer_list<int> signalNumbers) {
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error("no pipe for signals");
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [] {
        char byte;
        while (::read(pipeEnds[0], &byte, 1) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = wake;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : signalNumbers) {
        ::sigaction(signalNumber, &action, nullptr);
    }
}

QuitOnSignal::~QuitOnSignal() {
    notifier_.reset();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
}

} // namespace tandrel::tools
