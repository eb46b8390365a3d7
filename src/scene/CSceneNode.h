// CSceneNode: the placement every node shares (position, rotation in
// degrees, scale), its id and, for mesh nodes, its materials with the
// references on their textures.
#pragma once

#include "scene/ISceneNode.h"

#include <vector>

namespace kelvo::scene
{

class CSceneNode : public virtual zu::scene::ISceneNode
{
  public:
    CSceneNode(zu::video::SVector3f position, zu::video::SVector3f rotation,
               zu::video::SVector3f scale, int32_t id);
    ~CSceneNode() override;

    int32_t getID() const override { return m_id; }
    void setPosition(zu::video::SVector3f position) override { m_position = position; }
    zu::video::SVector3f getPosition() const override { return m_position; }
    void setRotation(zu::video::SVector3f degrees) override { m_rotation = degrees; }
    zu::video::SVector3f getRotation() const override { return m_rotation; }
    void setScale(zu::video::SVector3f scale) override { m_scale = scale; }
    zu::video::SVector3f getScale() const override { return m_scale; }
    zu::core::CMatrix4 getAbsoluteTransformation() const override;

    int32_t getMaterialCount() const override { return int32_t(m_materials.size()); }
    zu::video::MaterialState& getMaterial(int32_t i) override;
    void setMaterialTexture(int stage, zu::video::ITexture* texture) override;

  protected:
    std::vector<zu::video::MaterialState> m_materials;

  private:
    // One reference per stage on the texture the materials use there.
    void holdTexture(int stage, zu::video::ITexture* texture);

    zu::video::SVector3f m_position;
    zu::video::SVector3f m_rotation;
    zu::video::SVector3f m_scale;
    int32_t m_id;
    zu::video::ITexture* m_heldTextures[zu::video::MATERIAL_MAX_TEXTURES] = {nullptr, nullptr};
};

} // namespace kelvo::scene
