// CLuaShaderConstants: the named shader constants a script last gave the
// video table, and the constants callback of the shader materials the
// script makes. Before each draw with such a material it sets every constant
// by name on the material's services (uniforms of a GLSL program, pixel
// program parameters of a Cg one); names the program lacks are skipped.
//
// It is reference counted on its own: a material lives in the driver until
// the driver goes, longer than the script that made it, and keeps its
// callback. The video library empties the list when it goes.
#pragma once

#include "core/CString.h"
#include "video/IShaderConstantSetCallBack.h"

#include <vector>

namespace zu::lua
{

class CLuaShaderConstants : public video::IShaderConstantSetCallBack
{
  public:
    struct SConstant
    {
        core::CString name;
        float values[4] = {0.f, 0.f, 0.f, 0.f};
        int32_t count = 1; // 1 to 4
    };

    void setConstants(video::IMaterialRendererServices* services, int32_t userData) override;

    // Replaces the whole list.
    void replace(std::vector<SConstant> constants) { m_constants = std::move(constants); }
    void clear() { m_constants.clear(); }
    const std::vector<SConstant>& getConstants() const { return m_constants; }

  private:
    std::vector<SConstant> m_constants;
};

} // namespace zu::lua
