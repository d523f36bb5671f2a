#pragma once

#include "platform/gpu/Compositor.h"
#include "platform/gpu/Error.h"

#include <memory>
#include <optional>
#include <vector>

namespace platform {

class RenderCommandEncoder;

// A list of render passes for one thread to record and commit once. Committing runs the passes
// on the calling thread, in order, so the buffer is completed when commit returns; the waits
// are kept for the object model and return at once.
class CommandBuffer : public std::enable_shared_from_this<CommandBuffer> {
public:
    enum class Status { notEnqueued, enqueued, committed, scheduled, completed, error };
    static constexpr const char *errorDomain = "platform.gpu.commands";

    // Nothing when the pass has no target, the target cannot be drawn into, another encoder of
    // this buffer is still open, or the buffer was committed.
    std::shared_ptr<RenderCommandEncoder> renderCommandEncoder(const RenderPassDescriptor &pass);

    void enqueue();
    void commit();
    void waitUntilScheduled() const {}
    void waitUntilCompleted() const {}

    Status status() const { return status_; }
    // The first command that was refused while encoding; it was left out.
    const std::optional<Error> &error() const { return error_; }

private:
    friend class CommandQueue;
    friend class RenderCommandEncoder;

    CommandBuffer() = default;
    void finishPass(detail::RecordedPass pass);
    void refuse(std::string description);

    Status status_ = Status::notEnqueued;
    bool encoding_ = false;
    std::vector<detail::RecordedPass> passes_;
    std::optional<Error> error_;
};

} // namespace platform
