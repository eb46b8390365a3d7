// IShaderConstantSetCallBack: what a shader material asks for its program
// constants. The renderer calls setConstants with services on which the
// constants can be set; renderers that keep a callback hold a reference on it.
#pragma once

#include "core/IUnknown.h"

#include <cstdint>

namespace zu::video
{

class IMaterialRendererServices;

class IShaderConstantSetCallBack : public virtual IUnknown
{
  public:
    virtual void setConstants(IMaterialRendererServices* services, int32_t userData) = 0;
};

} // namespace zu::video
