#pragma once

#include "platform/gpu/CommandQueue.h"
#include "platform/gpu/Device.h"
#include "platform/gpu/PixelFormat.h"
#include "plugin/MetalDeviceCacheItem.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

namespace tandrel {

// The overlay's pipelines and command-queue pools, one item per GPU and pixel format, made
// on demand and kept for the life of the process. Safe to use from any thread.
class MetalDeviceCache {
public:
    // The process's cache over the shader library in the plug-in's bundle (the folder of the
    // module), made on first use.
    static MetalDeviceCache &shared();

    // A cache with an item in rgba16Float for every GPU of the machine (in their order) whose
    // item can be made from the shader library in `bundle`; the others are left out. The
    // cache reads the library from `bundle` again for every new item.
    explicit MetalDeviceCache(std::filesystem::path bundle);
    MetalDeviceCache(const MetalDeviceCache &) = delete;
    MetalDeviceCache &operator=(const MetalDeviceCache &) = delete;

    // The drawing format of a host surface format: 8-bit BGRA draws as bgra8Unorm, float RGBA
    // as rgba32Float, everything else as rgba16Float.
    static platform::PixelFormat pixelFormat(uint32_t surfaceFormat);

    // The device of the first item on the GPU with that registry identifier. Only GPUs that
    // already have an item are found.
    std::shared_ptr<platform::Device> device(uint64_t registryID);

    // The first item for that GPU and format; otherwise a new one, for the first GPU of the
    // machine with that registry identifier, kept. Nothing when no GPU has the identifier or
    // the item cannot be made.
    std::shared_ptr<MetalDeviceCacheItem> itemFor(uint64_t registryID,
                                                  platform::PixelFormat pixelFormat);

    // Gives a queue back to the item whose pool holds it; other queues are ignored.
    void returnCommandQueue(const std::shared_ptr<platform::CommandQueue> &queue);

private:
    std::filesystem::path bundle_;
    std::mutex cacheLock_; // guards cacheItems_
    std::vector<std::shared_ptr<MetalDeviceCacheItem>> cacheItems_;
};

} // namespace tandrel
