// MaterialState: the render state a draw is made with.
#pragma once

#include <cstdint>

namespace zu::video
{

class ITexture;

struct MaterialState
{
    int32_t materialType = 0; // index into the driver's material renderers
    ITexture* texture = nullptr;
    uint32_t diffuse = 0xFFFFFFFF;
    bool lighting = false;
    bool zBuffer = true;
    bool zWrite = true;
    bool backfaceCulling = true;
    bool wireframe = false;
};

} // namespace zu::video
