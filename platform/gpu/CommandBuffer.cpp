#include "platform/gpu/CommandBuffer.h"

#include "platform/gpu/RenderCommandEncoder.h"

namespace platform {

std::shared_ptr<RenderCommandEncoder>
CommandBuffer::renderCommandEncoder(const RenderPassDescriptor &pass) {
    const auto &attachment = pass.colorAttachments[0];
    const bool committed = status_ != Status::notEnqueued && status_ != Status::enqueued;
    if (encoding_ || committed || !attachment.texture ||
        !isColorRenderable(attachment.texture->pixelFormat()) ||
        !includes(attachment.texture->usage(), TextureUsage::renderTarget)) {
        return nullptr;
    }
    encoding_ = true;
    return std::shared_ptr<RenderCommandEncoder>(new RenderCommandEncoder(
        shared_from_this(),
        detail::RecordedPass{
            attachment.texture, attachment.loadAction, attachment.clearColor, {}}));
}

void CommandBuffer::enqueue() {
    if (status_ == Status::notEnqueued) {
        status_ = Status::enqueued;
    }
}

void CommandBuffer::commit() {
    if (status_ != Status::notEnqueued && status_ != Status::enqueued) {
        return;
    }
    status_ = Status::committed;
    if (encoding_) {
        refuse("committed while an encoder was still open; its pass was left out");
    }
    for (const detail::RecordedPass &pass : passes_) {
        detail::execute(pass);
    }
    passes_.clear();
    status_ = error_ ? Status::error : Status::completed;
}

void CommandBuffer::finishPass(detail::RecordedPass pass) {
    encoding_ = false;
    passes_.push_back(std::move(pass));
}

void CommandBuffer::refuse(std::string description) {
    if (!error_) {
        error_ = Error{errorDomain, 1, std::move(description)};
    }
}

} // namespace platform
