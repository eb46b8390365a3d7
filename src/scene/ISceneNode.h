// ISceneNode: a thing in the 3D scene with a position, a rotation (degrees
// about x, then y, then z) and a scale, placed in the world in that order:
// scaled, turned, then moved. Mesh nodes have one material per part of
// their mesh; other nodes have none.
#pragma once

#include "core/CMatrix4.h"
#include "core/IUnknown.h"
#include "video/MaterialState.h"
#include "video/SGeometry.h"

#include <cstdint>

namespace zu::scene
{

enum ESceneNodeType
{
    ESNT_MESH,
    ESNT_LIGHT,
    ESNT_CAMERA
};

class ISceneNode : public virtual IUnknown
{
  public:
    virtual ESceneNodeType getType() const = 0;
    virtual int32_t getID() const = 0;

    virtual void setPosition(video::SVector3f position) = 0;
    virtual video::SVector3f getPosition() const = 0;
    virtual void setRotation(video::SVector3f degrees) = 0;
    virtual video::SVector3f getRotation() const = 0;
    virtual void setScale(video::SVector3f scale) = 0;
    virtual video::SVector3f getScale() const = 0;
    // Scale, then rotation, then translation, for row vectors.
    virtual core::CMatrix4 getAbsoluteTransformation() const = 0;

    virtual int32_t getMaterialCount() const = 0;
    // Material i (0 <= i < getMaterialCount()).
    virtual video::MaterialState& getMaterial(int32_t i) = 0;
    // Puts the texture on that stage of every material; the node keeps a
    // reference, so the texture lives while the node draws with it.
    virtual void setMaterialTexture(int stage, video::ITexture* texture) = 0;
};

} // namespace zu::scene
