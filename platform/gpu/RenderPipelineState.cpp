#include "platform/gpu/RenderPipelineState.h"

namespace platform {

std::shared_ptr<RenderPipelineState>
RenderPipelineState::make(const RenderPipelineDescriptor &descriptor, Error *error) {
    const auto &vertex = descriptor.vertexFunction;
    const auto &fragment = descriptor.fragmentFunction;
    if (!vertex || vertex->functionType() != FunctionType::vertex) {
        report(error, errorDomain, 1, "the pipeline needs a vertex function");
        return nullptr;
    }
    if (!fragment || fragment->functionType() != FunctionType::fragment) {
        report(error, errorDomain, 2, "the pipeline needs a fragment function");
        return nullptr;
    }
    const auto &attachment = descriptor.colorAttachments[0];
    if (!isColorRenderable(attachment.pixelFormat)) {
        report(error, errorDomain, 3, "colour attachment 0 has no format that can be drawn into");
        return nullptr;
    }
    return std::shared_ptr<RenderPipelineState>(
        new RenderPipelineState(descriptor.label, attachment));
}

} // namespace platform
