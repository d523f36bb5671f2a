#pragma once

#include <memory>

namespace platform {

class CommandBuffer;
class Device;

// Hands out command buffers. A queue may be used from any thread; each buffer belongs to the
// thread that records it.
class CommandQueue {
public:
    explicit CommandQueue(std::shared_ptr<Device> device) : device_(std::move(device)) {}

    const std::shared_ptr<Device> &device() const { return device_; }
    std::shared_ptr<CommandBuffer> commandBuffer();

private:
    std::shared_ptr<Device> device_;
};

} // namespace platform
