#include "plugin/MetalDeviceCache.h"

#include "core/support/Log.h"
#include "platform/gpu/Surface.h"
#include "plugin/PluginBundle.h"

namespace tandrel {

MetalDeviceCache &MetalDeviceCache::shared() {
    // Never destroyed: render threads of the host may still be drawing at exit.
    static MetalDeviceCache *const cache = new MetalDeviceCache(pluginBundleDirectory());
    return *cache;
}

MetalDeviceCache::MetalDeviceCache(std::filesystem::path bundle) : bundle_(std::move(bundle)) {
    for (const auto &gpu : platform::copyAllDevices()) {
        if (auto item =
                MetalDeviceCacheItem::make(gpu, platform::PixelFormat::rgba16Float, bundle_)) {
            cacheItems_.push_back(std::move(item));
        }
    }
}

platform::PixelFormat MetalDeviceCache::pixelFormat(uint32_t surfaceFormat) {
    switch (surfaceFormat) {
    case platform::Surface::formatBGRA:
        return platform::PixelFormat::bgra8Unorm;
    case platform::Surface::formatRGfA:
        return platform::PixelFormat::rgba32Float;
    default:
        return platform::PixelFormat::rgba16Float;
    }
}

std::shared_ptr<platform::Device> MetalDeviceCache::device(uint64_t registryID) {
    std::lock_guard guard(cacheLock_);
    for (const auto &item : cacheItems_) {
        if (item->device()->registryID() == registryID) {
            return item->device();
        }
    }
    return nullptr;
}

std::shared_ptr<MetalDeviceCacheItem> MetalDeviceCache::itemFor(uint64_t registryID,
                                                                platform::PixelFormat pixelFormat) {
    std::lock_guard guard(cacheLock_);
    for (const auto &item : cacheItems_) {
        if (item->device()->registryID() == registryID && item->pixelFormat() == pixelFormat) {
            return item;
        }
    }
    for (const auto &gpu : platform::copyAllDevices()) {
        if (gpu->registryID() != registryID) {
            continue;
        }
        platform::Error error;
        auto item = MetalDeviceCacheItem::make(gpu, pixelFormat, bundle_, &error);
        if (!item) {
            logger("com.ostrevale.tandrel.plugin", "render")
                ->debug("No overlay pipeline for GPU {}: {}", registryID, error.description);
            return nullptr;
        }
        cacheItems_.push_back(item);
        return item;
    }
    return nullptr;
}

void MetalDeviceCache::returnCommandQueue(const std::shared_ptr<platform::CommandQueue> &queue) {
    std::vector<std::shared_ptr<MetalDeviceCacheItem>> items;
    {
        std::lock_guard guard(cacheLock_);
        items = cacheItems_;
    }
    for (const auto &item : items) {
        if (item->returnCommandQueue(queue)) {
            return;
        }
    }
}

} // namespace tandrel
