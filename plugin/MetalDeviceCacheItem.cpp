#include "plugin/MetalDeviceCacheItem.h"

#include "platform/gpu/Library.h"

namespace tandrel {

std::shared_ptr<MetalDeviceCacheItem>
MetalDeviceCacheItem::make(std::shared_ptr<platform::Device> device,
                           platform::PixelFormat pixelFormat, const std::filesystem::path &bundle,
                           platform::Error *error) {
    std::shared_ptr<MetalDeviceCacheItem> item(new MetalDeviceCacheItem(device, pixelFormat));
    for (std::size_t i = 0; i < poolSize; ++i) {
        if (auto queue = device->newCommandQueue()) {
            item->commandQueues_.push_back({std::move(queue), false});
        }
    }

    const std::shared_ptr<platform::Library> library = device->newDefaultLibrary(bundle);
    if (!library) {
        platform::report(error, errorDomain, libraryMissingCode, libraryMissingDescription);
        return nullptr;
    }
    platform::RenderPipelineDescriptor descriptor;
    descriptor.label = "Tandrel Text Overlay";
    descriptor.vertexFunction = library->newFunction("tandrelVertexShader");
    descriptor.fragmentFunction = library->newFunction("tandrelFragmentShader");
    // Pre-multiplied "over": the texts' colours are pre-multiplied by their alpha.
    platform::RenderPipelineColorAttachmentDescriptor &attachment = descriptor.colorAttachments[0];
    attachment.pixelFormat = pixelFormat;
    attachment.blendingEnabled = true;
    attachment.sourceRGBBlendFactor = platform::BlendFactor::one;
    attachment.destinationRGBBlendFactor = platform::BlendFactor::oneMinusSourceAlpha;
    attachment.sourceAlphaBlendFactor = platform::BlendFactor::one;
    attachment.destinationAlphaBlendFactor = platform::BlendFactor::oneMinusSourceAlpha;
    item->pipelineState_ = device->newRenderPipelineState(descriptor, error);
    if (!item->pipelineState_) {
        return nullptr;
    }
    return item;
}

std::shared_ptr<platform::CommandQueue> MetalDeviceCacheItem::nextFreeCommandQueue() {
    std::lock_guard guard(lock_);
    for (PooledQueue &pooled : commandQueues_) {
        if (!pooled.inUse) {
            pooled.inUse = true;
            return pooled.queue;
        }
    }
    return nullptr;
}

bool MetalDeviceCacheItem::returnCommandQueue(
    const std::shared_ptr<platform::CommandQueue> &queue) {
    std::lock_guard guard(lock_);
    for (PooledQueue &pooled : commandQueues_) {
        if (pooled.queue == queue) {
            pooled.inUse = false;
            return true;
        }
    }
    return false;
}

} // namespace tandrel
