// CMeshSceneNode: a mesh placed in the scene, with its own copy of the
// mesh's materials.
#pragma once

#include "scene/CSceneNode.h"

namespace zu::scene
{
class IMesh;
}

namespace kelvo::scene
{

class CMeshSceneNode : public CSceneNode
{
  public:
    // Holds a reference on the mesh.
    CMeshSceneNode(zu::scene::IMesh* mesh, zu::video::SVector3f position,
                   zu::video::SVector3f rotation, zu::video::SVector3f scale, int32_t id);
    ~CMeshSceneNode() override;

    zu::scene::ESceneNodeType getType() const override { return zu::scene::ESNT_MESH; }
    zu::scene::IMesh* getMesh() const { return m_mesh; }

  private:
    zu::scene::IMesh* m_mesh;
};

} // namespace kelvo::scene
