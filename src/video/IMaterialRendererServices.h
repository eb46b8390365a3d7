// IMaterialRendererServices: what a material renderer may ask of the driver
// while it binds a material, and where a shader material's constants are set.
// The drivers are services themselves; the GLSL and Cg renderers are services
// of their own and pass themselves to the constants callback.
#pragma once

#include <cstdint>

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

    // `count` registers of four floats each, from `data`, starting at
    // `startRegister` (assembly programs).
    virtual void setVertexShaderConstant(const float* data, int32_t startRegister,
                                         int32_t count) = 0;
    virtual void setPixelShaderConstant(const float* data, int32_t startRegister,
                                        int32_t count) = 0;
    // A named constant of `count` floats (high-level programs). False when the
    // program has no constant of that name.
    virtual bool setVertexShaderConstant(const char* name, const float* floats, int32_t count) = 0;
    virtual bool setPixelShaderConstant(const char* name, const float* floats, int32_t count) = 0;
};

} // namespace zu::video
