// CSceneMesh: a loaded model: its parts as driver meshes with a material
// each, and the box around it.
#pragma once

#include "scene/IMesh.h"

#include <vector>

namespace kelvo::scene
{

class CSceneMesh : public zu::scene::IMesh
{
  public:
    ~CSceneMesh() override;

    int32_t getPartCount() const override { return int32_t(m_parts.size()); }
    zu::video::Mesh* getPart(int32_t i) const override;
    const zu::video::MaterialState& getPartMaterial(int32_t i) const override;
    const zu::video::SBox3f& getBoundingBox() const override { return m_box; }

    // Takes over the creator's reference on the part and widens the box
    // around its vertices.
    void addPart(zu::video::Mesh* part, const zu::video::MaterialState& material,
                 const zu::video::SBox3f& box);

  private:
    struct SPart
    {
        zu::video::Mesh* mesh;
        zu::video::MaterialState material;
    };
    std::vector<SPart> m_parts;
    zu::video::SBox3f m_box;
};

} // namespace kelvo::scene
