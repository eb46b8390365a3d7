#include "scene/CLightSceneNode.h"

namespace kelvo::scene
{

CLightSceneNode::CLightSceneNode(zu::video::SVector3f position, const float colour[4], float radius,
                                 int32_t id)
    : CSceneNode(position, {}, {1.f, 1.f, 1.f}, id)
{
    for (int i = 0; i < 4; ++i)
    {
        m_light.diffuse[i] = colour[i];
        m_light.specular[i] = colour[i];
        m_light.ambient[i] = i == 3 ? colour[3] : 0.f;
    }
    m_light.position[0] = position.x;
    m_light.position[1] = position.y;
    m_light.position[2] = position.z;
    m_light.radius = radius;
}

zu::video::SLight CLightSceneNode::placedLight() const
{
    zu::video::SLight light = m_light;
    // A directional light keeps its direction; a point light goes where the
    // node is, so moving the node moves the light.
    if (!light.directional)
    {
        const zu::video::SVector3f p = getPosition();
        light.position[0] = p.x;
        light.position[1] = p.y;
        light.position[2] = p.z;
    }
    return light;
}

} // namespace kelvo::scene
