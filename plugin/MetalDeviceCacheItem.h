#pragma once

#include "platform/gpu/CommandQueue.h"
#include "platform/gpu/Device.h"
#include "platform/gpu/Error.h"
#include "platform/gpu/PixelFormat.h"
#include "platform/gpu/RenderPipelineState.h"

#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

namespace tandrel {

// What the overlay needs to draw on one GPU into one pixel format: the text-overlay pipeline
// and a pool of command queues, each lent to one frame at a time. Safe to use from any
// thread.
class MetalDeviceCacheItem {
public:
    // Queues asked of the device for the pool; a device that refuses some leaves it smaller.
    static constexpr std::size_t poolSize = 5;

    // The error of an item whose bundle has no shader library.
    static constexpr const char *errorDomain = "Tandrel";
    static constexpr long libraryMissingCode = -1;
    static constexpr const char *libraryMissingDescription = "Metal library not found";

    // An item with the pipeline built from the shader library in `bundle`. Nothing, with the
    // reason in `error` (when given), when the library is missing or the pipeline cannot be
    // built.
    static std::shared_ptr<MetalDeviceCacheItem> make(std::shared_ptr<platform::Device> device,
                                                      platform::PixelFormat pixelFormat,
                                                      const std::filesystem::path &bundle,
                                                      platform::Error *error = nullptr);

    const std::shared_ptr<platform::Device> &device() const { return device_; }
    const std::shared_ptr<platform::RenderPipelineState> &pipelineState() const {
        return pipelineState_;
    }
    platform::PixelFormat pixelFormat() const { return pixelFormat_; }

    // The first queue of the pool not in use, now in use; nothing when all are.
    std::shared_ptr<platform::CommandQueue> nextFreeCommandQueue();
    // Gives this very queue back to the pool; false when the pool does not hold it.
    bool returnCommandQueue(const std::shared_ptr<platform::CommandQueue> &queue);

private:
    struct PooledQueue {
        std::shared_ptr<platform::CommandQueue> queue;
        bool inUse = false;
    };

    MetalDeviceCacheItem(std::shared_ptr<platform::Device> device,
                         platform::PixelFormat pixelFormat)
        : device_(std::move(device)), pixelFormat_(pixelFormat) {}

    std::shared_ptr<platform::Device> device_;
    std::shared_ptr<platform::RenderPipelineState> pipelineState_;
    platform::PixelFormat pixelFormat_;
    std::mutex lock_; // guards the in-use flags
    std::vector<PooledQueue> commandQueues_;
};

} // namespace tandrel
