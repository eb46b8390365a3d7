#include "lua/CLuaShaderConstants.h"

#include "video/IMaterialRendererServices.h"

namespace zu::lua
{

void CLuaShaderConstants::setConstants(video::IMaterialRendererServices* services, int32_t)
{
    if (!services) return;
    for (const SConstant& constant : m_constants)
        services->setPixelShaderConstant(constant.name.c_str(), constant.values, constant.count);
}

} // namespace zu::lua
