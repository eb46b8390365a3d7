#include "scene/CMeshSceneNode.h"

#include "scene/IMesh.h"

namespace kelvo::scene
{

CMeshSceneNode::CMeshSceneNode(zu::scene::IMesh* mesh, zu::video::SVector3f position,
                               zu::video::SVector3f rotation, zu::video::SVector3f scale,
                               int32_t id)
    : CSceneNode(position, rotation, scale, id), m_mesh(mesh)
{
    m_mesh->grab();
    for (int32_t i = 0; i < m_mesh->getPartCount(); ++i)
        m_materials.push_back(m_mesh->getPartMaterial(i));
}

CMeshSceneNode::~CMeshSceneNode()
{
    m_mesh->drop();
}

} // namespace kelvo::scene
