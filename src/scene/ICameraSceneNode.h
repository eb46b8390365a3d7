// ICameraSceneNode: where the scene is seen from. It looks from its position
// at its target with its up vector, through a vertical field of view in
// radians, between its near and far planes. Left-handed: with the default
// up vector x goes right, y up and z into the screen.
#pragma once

#include "scene/ISceneNode.h"

namespace zu::scene
{

class ICameraSceneNode : public virtual ISceneNode
{
  public:
    virtual void setTarget(video::SVector3f target) = 0;
    virtual video::SVector3f getTarget() const = 0;
    virtual void setUpVector(video::SVector3f up) = 0;
    virtual video::SVector3f getUpVector() const = 0;
    virtual void setFOV(float radians) = 0;
    virtual float getFOV() const = 0;
    virtual void setNearValue(float zNear) = 0;
    virtual float getNearValue() const = 0;
    virtual void setFarValue(float zFar) = 0;
    virtual float getFarValue() const = 0;

    // World to camera space.
    virtual core::CMatrix4 getViewMatrix() const = 0;
    // Camera to clip space for a picture of that width over height.
    // `signedDepth` maps the near and far planes to -1 and 1 (OpenGL),
    // otherwise to 0 and 1.
    virtual core::CMatrix4 getProjectionMatrix(float aspect, bool signedDepth) const = 0;
};

} // namespace zu::scene
