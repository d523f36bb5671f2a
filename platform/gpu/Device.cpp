#include "platform/gpu/Device.h"

#include "platform/gpu/CommandQueue.h"
#include "platform/gpu/Surface.h"

#include <mutex>
#include <new>

namespace platform {

std::shared_ptr<Device> Device::make(DeviceOptions options) {
    return std::shared_ptr<Device>(new Device(std::move(options)));
}

std::shared_ptr<CommandQueue> Device::newCommandQueue() {
    std::size_t made = queuesMade_.load();
    do {
        if (made >= options_.maxCommandQueues) {
            return nullptr;
        }
    } while (!queuesMade_.compare_exchange_weak(made, made + 1));
    return std::make_shared<CommandQueue>(shared_from_this());
}

bool Device::fits(const TextureDescriptor &descriptor) const {
    return bytesPerPixel(descriptor.pixelFormat) != 0 && descriptor.mipmapLevelCount == 1 &&
           descriptor.width >= 1 && descriptor.height >= 1 &&
           descriptor.width <= options_.maxTextureDimension &&
           descriptor.height <= options_.maxTextureDimension;
}

std::shared_ptr<Texture> Device::newTexture(const TextureDescriptor &descriptor) {
    if (!fits(descriptor)) {
        return nullptr;
    }
    const std::size_t size = bytesPerPixel(descriptor.pixelFormat) *
                             static_cast<std::size_t>(descriptor.width) * descriptor.height;
    std::unique_ptr<std::byte[]> storage(new (std::nothrow) std::byte[size]());
    if (!storage) {
        return nullptr;
    }
    return std::shared_ptr<Texture>(new Texture(descriptor, std::move(storage), allocated_));
}

std::shared_ptr<Texture> Device::newTexture(const TextureDescriptor &descriptor,
                                            std::shared_ptr<Surface> surface, int plane) {
    if (!surface || plane != 0 || !fits(descriptor) ||
        surface->bytesPerElement() != bytesPerPixel(descriptor.pixelFormat) ||
        descriptor.width > surface->width() || descriptor.height > surface->height()) {
        return nullptr;
    }
    return std::shared_ptr<Texture>(new Texture(descriptor, std::move(surface)));
}

namespace {

struct SystemDevices {
    std::mutex mutex;
    std::vector<std::shared_ptr<Device>> devices{
        Device::make({systemDeviceRegistryID, "CPU Compositor"})};
};

SystemDevices &systemDevices() {
    static SystemDevices instance;
    return instance;
}

} // namespace

std::vector<std::shared_ptr<Device>> copyAllDevices() {
    SystemDevices &system = systemDevices();
    std::lock_guard lock(system.mutex);
    return system.devices;
}

std::shared_ptr<Device> createSystemDefaultDevice() {
    auto devices = copyAllDevices();
    return devices.empty() ? nullptr : devices.front();
}

void setSystemDevices(std::vector<std::shared_ptr<Device>> devices) {
    SystemDevices &system = systemDevices();
    std::lock_guard lock(system.mutex);
    system.devices = std::move(devices);
}

} // namespace platform
