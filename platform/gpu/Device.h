#pragma once

#include "platform/gpu/Error.h"
#include "platform/gpu/Library.h"
#include "platform/gpu/RenderPipelineState.h"
#include "platform/gpu/Texture.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class CommandQueue;
class Surface;

struct DeviceOptions {
    std::uint64_t registryID = 0;
    std::string name;
    // The device refuses command queues beyond this many (made over its life).
    std::size_t maxCommandQueues = std::numeric_limits<std::size_t>::max();
    // The widest and tallest texture it makes.
    int maxTextureDimension = 16384;
};

// A GPU, here a CPU compositor: it makes command queues, pipelines and textures. Devices are
// told apart by their registry identifier. Every member may be called from any thread.
class Device : public std::enable_shared_from_this<Device> {
public:
    static std::shared_ptr<Device> make(DeviceOptions options);

    std::uint64_t registryID() const { return options_.registryID; }
    const std::string &name() const { return options_.name; }

    // Nothing once maxCommandQueues queues were made.
    std::shared_ptr<CommandQueue> newCommandQueue();

    // The bundle's default library, or nothing when the bundle has none (see Library).
    std::shared_ptr<Library> newDefaultLibrary(const std::filesystem::path &bundle,
                                               Error *error = nullptr) const {
        return Library::fromBundle(bundle, error);
    }
    std::shared_ptr<Library> newLibrary(std::string_view source, Error *error = nullptr) const {
        return Library::fromSource(source, error);
    }
    std::shared_ptr<RenderPipelineState>
    newRenderPipelineState(const RenderPipelineDescriptor &descriptor,
                           Error *error = nullptr) const {
        return RenderPipelineState::make(descriptor, error);
    }

    // A zero-filled texture; nothing for an invalid format, a size outside
    // 1…maxTextureDimension, mipmaps, or memory refused.
    std::shared_ptr<Texture> newTexture(const TextureDescriptor &descriptor);
    // A texture over the surface's memory, which the texture keeps alive; nothing also when the
    // format's pixel size differs from the surface's, the texture is larger than the surface, or
    // the plane is not 0.
    std::shared_ptr<Texture> newTexture(const TextureDescriptor &descriptor,
                                        std::shared_ptr<Surface> surface, int plane = 0);

    // Bytes held by the textures the device made that are still alive (surfaces not counted).
    std::size_t currentAllocatedSize() const { return *allocated_; }

private:
    explicit Device(DeviceOptions options) : options_(std::move(options)) {}
    bool fits(const TextureDescriptor &descriptor) const;

    DeviceOptions options_;
    std::atomic<std::size_t> queuesMade_{0};
    std::shared_ptr<std::atomic<std::size_t>> allocated_ =
        std::make_shared<std::atomic<std::size_t>>(0);
};

// The registry identifier of the machine's own compositor.
inline constexpr std::uint64_t systemDeviceRegistryID = 0x100000a2c;

// The GPUs of the machine, in a fixed order: the one CPU compositor, unless a host or a test
// set others.
std::vector<std::shared_ptr<Device>> copyAllDevices();
// The first of them, or nothing when there is none.
std::shared_ptr<Device> createSystemDefaultDevice();
// Replaces the machine's GPUs for this process (a host playing several GPUs, or none).
void setSystemDevices(std::vector<std::shared_ptr<Device>> devices);

} // namespace platform
