// IMesh: a 3D model as loaded from a file: parts (driver meshes in the
// triangle-list layout), each with its material.
#pragma once

#include "core/IUnknown.h"
#include "video/MaterialState.h"
#include "video/SGeometry.h"

#include <cstdint>

namespace zu::video
{
class Mesh;
}

namespace zu::scene
{

class IMesh : public virtual IUnknown
{
  public:
    virtual int32_t getPartCount() const = 0;
    virtual video::Mesh* getPart(int32_t i) const = 0;
    virtual const video::MaterialState& getPartMaterial(int32_t i) const = 0;
    // The box around every vertex.
    virtual const video::SBox3f& getBoundingBox() const = 0;
};

} // namespace zu::scene
