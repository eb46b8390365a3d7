// ILightSceneNode: a dynamic light. Its record (colours, radius, whether it
// is directional) goes to the driver each frame; a point light sits at the
// node's position, a directional light shines along its record's position.
#pragma once

#include "scene/ISceneNode.h"
#include "video/SLight.h"

namespace zu::scene
{

class ILightSceneNode : public virtual ISceneNode
{
  public:
    virtual video::SLight& getLightData() = 0;
    virtual const video::SLight& getLightData() const = 0;
};

} // namespace zu::scene
