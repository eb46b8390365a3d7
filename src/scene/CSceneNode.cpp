#include "scene/CSceneNode.h"

#include "core/Output.h"
#include "scene/SceneMath.h"
#include "video/ITexture.h"

namespace kelvo::scene
{

CSceneNode::CSceneNode(zu::video::SVector3f position, zu::video::SVector3f rotation,
                       zu::video::SVector3f scale, int32_t id)
    : m_position(position), m_rotation(rotation), m_scale(scale), m_id(id)
{
}

CSceneNode::~CSceneNode()
{
    for (zu::video::ITexture*& texture : m_heldTextures)
        zu::dropAndClear(texture);
}

zu::core::CMatrix4 CSceneNode::getAbsoluteTransformation() const
{
    return scaling(m_scale) * rotationDegrees(m_rotation) * translation(m_position);
}

zu::video::MaterialState& CSceneNode::getMaterial(int32_t i)
{
    static zu::video::MaterialState none;
    if (!ZU_CHECK(i >= 0 && i < int32_t(m_materials.size())))
        return none = zu::video::MaterialState();
    return m_materials[size_t(i)];
}

void CSceneNode::setMaterialTexture(int stage, zu::video::ITexture* texture)
{
    if (stage < 0 || stage >= zu::video::MATERIAL_MAX_TEXTURES) return;
    holdTexture(stage, texture);
    for (zu::video::MaterialState& material : m_materials)
        material.Textures[stage] = texture;
}

void CSceneNode::holdTexture(int stage, zu::video::ITexture* texture)
{
    zu::video::ITexture*& held = m_heldTextures[stage];
    if (texture) texture->grab();
    if (held) held->drop();
    held = texture;
}

} // namespace kelvo::scene
