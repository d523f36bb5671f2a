#include "platform/gpu/CommandQueue.h"

#include "platform/gpu/CommandBuffer.h"

namespace platform {

std::shared_ptr<CommandBuffer> CommandQueue::commandBuffer() {
    return std::shared_ptr<CommandBuffer>(new CommandBuffer());
}

} // namespace platform
