// IMaterialRenderer: sets the graphics API up for one material type. The
// driver's renderer array is indexed by MaterialState::MaterialType.
#pragma once

#include "core/IUnknown.h"

namespace zu::video
{

struct MaterialState;
class IMaterialRendererServices;

class IMaterialRenderer : public virtual IUnknown
{
public:
    virtual void bind(const MaterialState& material, const MaterialState& lastMaterial,
                      bool resetAllRenderStates, IMaterialRendererServices* services) = 0;
    // Called before each draw; false skips it.
    virtual bool beforeDraw(IMaterialRendererServices*, int /*vertexType*/) { return true; }
    virtual void unbind() {}
    virtual bool isTransparent() const { return false; }
};

} // namespace zu::video
