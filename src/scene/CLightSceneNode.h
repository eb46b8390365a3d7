// CLightSceneNode: a dynamic light of the scene (see ILightSceneNode).
#pragma once

#include "scene/CSceneNode.h"
#include "scene/ILightSceneNode.h"

namespace kelvo::scene
{

class CLightSceneNode : public CSceneNode, public zu::scene::ILightSceneNode
{
  public:
    // The colour (red, green, blue, alpha from 0 to 1) is diffuse and
    // specular; the light adds no ambient light.
    CLightSceneNode(zu::video::SVector3f position, const float colour[4], float radius, int32_t id);

    zu::scene::ESceneNodeType getType() const override { return zu::scene::ESNT_LIGHT; }
    zu::video::SLight& getLightData() override { return m_light; }
    const zu::video::SLight& getLightData() const override { return m_light; }

    // The record to hand the driver: a point light at the node's position.
    zu::video::SLight placedLight() const;

  private:
    zu::video::SLight m_light;
};

} // namespace kelvo::scene
