// IMaterialRendererServices: what a material renderer may ask of the driver
// while it binds a material.
#pragma once

namespace zu::video
{

struct MaterialState;
class IVideoDriver;

class IMaterialRendererServices
{
public:
    virtual ~IMaterialRendererServices() = default;

    // Applies the states every material shares (colours, fill mode, depth,
    // culling, fog), each only when it changed or resetAllRenderStates is set.
    virtual void setBasicRenderStates(const MaterialState& material,
                                      const MaterialState& lastMaterial,
                                      bool resetAllRenderStates) = 0;
    virtual IVideoDriver* getVideoDriver() = 0;
};

} // namespace zu::video
