#include "scene/CSceneMesh.h"

#include "core/Output.h"
#include "video/Mesh.h"

#include <algorithm>

namespace kelvo::scene
{

CSceneMesh::~CSceneMesh()
{
    for (SPart& part : m_parts)
        part.mesh->drop();
}

zu::video::Mesh* CSceneMesh::getPart(int32_t i) const
{
    if (!ZU_CHECK(i >= 0 && i < int32_t(m_parts.size()))) return nullptr;
    return m_parts[size_t(i)].mesh;
}

const zu::video::MaterialState& CSceneMesh::getPartMaterial(int32_t i) const
{
    static const zu::video::MaterialState none;
    if (!ZU_CHECK(i >= 0 && i < int32_t(m_parts.size()))) return none;
    return m_parts[size_t(i)].material;
}

void CSceneMesh::addPart(zu::video::Mesh* part, const zu::video::MaterialState& material,
                         const zu::video::SBox3f& box)
{
    if (m_parts.empty())
        m_box = box;
    else
    {
        m_box.minEdge = {std::min(m_box.minEdge.x, box.minEdge.x),
                         std::min(m_box.minEdge.y, box.minEdge.y),
                         std::min(m_box.minEdge.z, box.minEdge.z)};
        m_box.maxEdge = {std::max(m_box.maxEdge.x, box.maxEdge.x),
                         std::max(m_box.maxEdge.y, box.maxEdge.y),
                         std::max(m_box.maxEdge.z, box.maxEdge.z)};
    }
    m_parts.push_back({part, material});
}

} // namespace kelvo::scene
