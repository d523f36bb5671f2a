#pragma once

namespace tandrel {

// The vertex record the overlay's shaders read from vertex buffer 0: a clip-space position,
// then texture coordinates. A quad is four of them, drawn as a triangle strip.
struct TandrelVertex2D {
    float position[2];
    float textureCoordinate[2];
};
static_assert(sizeof(TandrelVertex2D) == 16);

} // namespace tandrel
