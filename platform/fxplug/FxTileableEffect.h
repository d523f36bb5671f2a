#pragma once

#include "platform/fxplug/CMTime.h"
#include "platform/fxplug/FxImageTile.h"
#include "platform/fxplug/FxRect.h"
#include "platform/gpu/Error.h"

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// Bytes an effect hands from its state call to its render call, untouched by the host.
using FxData = std::vector<uint8_t>;

enum class FxQuality { low, medium, high };

// The effect's answers to the host's property questions, by property name.
using FxPropertyValue = std::variant<bool, long>;
using FxProperties = std::map<std::string, FxPropertyValue>;

// A video effect drawn tile by tile. The host makes an instance through the module's factory
// (FxModule.h) with its API manager, then calls the entry points below on its own threads,
// several at once. Each returns true for success; an error, when it returns false, goes to
// `*error` when the host asks for it (the pointer may be null). Out-parameters may be null:
// the effect then answers nothing.
class FxTileableEffect {
public:
    virtual ~FxTileableEffect() = default;

    // Adds the effect's parameters to the host's inspector.
    virtual bool addParameters(Error *error) = 0;

    // The effect's properties.
    virtual bool properties(FxProperties *properties, Error *error) = 0;

    // Everything the render call of `renderTime` needs, as data.
    virtual bool pluginState(FxData *pluginState, CMTime renderTime, FxQuality quality,
                             Error *error) = 0;

    // The part of the image plane the effect's output covers.
    virtual bool destinationImageRect(FxRect *destinationImageRect,
                                      const std::vector<const FxImageTile *> &sourceImages,
                                      const FxImageTile &destinationImage,
                                      const FxData *pluginState, CMTime renderTime,
                                      Error *error) = 0;

    // The part of input `sourceImageIndex` the effect reads to draw `destinationTileRect`.
    virtual bool sourceTileRect(FxRect *sourceTileRect, unsigned int sourceImageIndex,
                                const std::vector<const FxImageTile *> &sourceImages,
                                FxRect destinationTileRect, const FxImageTile &destinationImage,
                                const FxData *pluginState, CMTime renderTime, Error *error) = 0;

    // Draws one tile of the output; `pluginState` is what the state call gave for this time,
    // or null when the host has none.
    virtual bool renderDestinationImage(const FxImageTile &destinationImage,
                                        const std::vector<const FxImageTile *> &sourceImages,
                                        const FxData *pluginState, CMTime renderTime,
                                        Error *error) = 0;
};

} // namespace platform
