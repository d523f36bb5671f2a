#pragma once

namespace tandrel {

// The host's own update framework, created unstarted with the application and started once a
// main window has been on screen. On Linux the host is updated by the system's package
// manager, so the one implementation only says so in the log.
class Updater {
public:
    virtual ~Updater() = default;

    // Begins the framework's scheduled work; later calls do nothing more.
    virtual void startUpdater() = 0;
    // The user asked for a check ("Check for Updates…").
    virtual void checkForUpdates() = 0;
    virtual bool isStarted() const = 0;
};

// Logs instead of updating: the package manager updates the host here.
class LoggingUpdater final : public Updater {
public:
    void startUpdater() override;
    void checkForUpdates() override;
    bool isStarted() const override { return started_; }

private:
    bool started_ = false;
};

} // namespace tandrel
