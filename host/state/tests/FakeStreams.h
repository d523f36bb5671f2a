#pragma once

#include "platform/runtime/FileSystemEventStream.h"

#include <filesystem>
#include <map>
#include <memory>
#include <vector>

namespace tandrel::testing {

// File-system event streams played by hand: the test hands each running stream its events.
class FakeStreams {
public:
    class Stream final : public platform::FileSystemEventStream {
    public:
        Stream(FakeStreams &owner, std::filesystem::path folder, Callback callback)
            : owner_(owner), folder_(std::move(folder)) {
            owner_.callbacks_[folder_] = std::move(callback);
        }
        ~Stream() override { owner_.callbacks_.erase(folder_); }

    private:
        FakeStreams &owner_;
        std::filesystem::path folder_;
    };

    platform::FileSystemEventStream::Factory factory() {
        return [this](const std::filesystem::path &folder,
                      platform::FileSystemEventStream::Callback callback) {
            ++opened;
            return std::make_unique<Stream>(*this, folder, std::move(callback));
        };
    }
    bool isRunning(const std::filesystem::path &folder) const {
        return callbacks_.contains(folder);
    }
    // Delivers the events to the folder's running stream; nothing when none runs. The stream
    // may be destroyed by its delivery (its folder gone, say).
    void deliver(const std::filesystem::path &folder,
                 const std::vector<platform::FileSystemEvent> &events) {
        if (const auto stream = callbacks_.find(folder); stream != callbacks_.end()) {
            const platform::FileSystemEventStream::Callback callback = stream->second;
            callback(events);
        }
    }

    int opened = 0;

private:
    std::map<std::filesystem::path, platform::FileSystemEventStream::Callback> callbacks_;
};

} // namespace tandrel::testing
