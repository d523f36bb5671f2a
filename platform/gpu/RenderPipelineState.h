#pragma once

#include "platform/gpu/Library.h"
#include "platform/gpu/PixelFormat.h"

#include <array>
#include <memory>
#include <string>

namespace platform {

// Blending adds source × source factor to destination × destination factor, channel by channel.
enum class BlendFactor { zero, one, sourceAlpha, oneMinusSourceAlpha };

struct RenderPipelineColorAttachmentDescriptor {
    PixelFormat pixelFormat = PixelFormat::invalid;
    bool blendingEnabled = false;
    BlendFactor sourceRGBBlendFactor = BlendFactor::one;
    BlendFactor destinationRGBBlendFactor = BlendFactor::zero;
    BlendFactor sourceAlphaBlendFactor = BlendFactor::one;
    BlendFactor destinationAlphaBlendFactor = BlendFactor::zero;

    // Pre-multiplied "over": one for the source, one minus source alpha for the destination.
    bool isPremultipliedOver() const {
        return blendingEnabled && sourceRGBBlendFactor == BlendFactor::one &&
               sourceAlphaBlendFactor == BlendFactor::one &&
               destinationRGBBlendFactor == BlendFactor::oneMinusSourceAlpha &&
               destinationAlphaBlendFactor == BlendFactor::oneMinusSourceAlpha;
    }
};

struct RenderPipelineDescriptor {
    std::string label;
    std::shared_ptr<Function> vertexFunction;
    std::shared_ptr<Function> fragmentFunction;
    // One colour attachment: the compositor draws into one target at a time.
    std::array<RenderPipelineColorAttachmentDescriptor, 1> colorAttachments;
};

// A built pipeline: immutable and shared freely between threads.
class RenderPipelineState {
public:
    static constexpr const char *errorDomain = "platform.gpu.pipeline";

    // Nothing, with the reason in `error`, when a function is missing or of the wrong stage or
    // the attachment's format cannot be drawn into.
    static std::shared_ptr<RenderPipelineState> make(const RenderPipelineDescriptor &descriptor,
                                                     Error *error = nullptr);

    const std::string &label() const { return label_; }
    const RenderPipelineColorAttachmentDescriptor &colorAttachment() const { return attachment_; }

private:
    RenderPipelineState(std::string label, RenderPipelineColorAttachmentDescriptor attachment)
        : label_(std::move(label)), attachment_(attachment) {}

    std::string label_;
    RenderPipelineColorAttachmentDescriptor attachment_;
};

} // namespace platform
