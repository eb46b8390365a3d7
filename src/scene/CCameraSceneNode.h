// CCameraSceneNode: the camera of the scene (see ICameraSceneNode).
#pragma once

#include "scene/CSceneNode.h"
#include "scene/ICameraSceneNode.h"

namespace kelvo::scene
{

class CCameraSceneNode : public CSceneNode, public zu::scene::ICameraSceneNode
{
  public:
    // Looks from position at target; up is +y, the field of view 72 degrees,
    // the planes at 1 and 3000.
    CCameraSceneNode(zu::video::SVector3f position, zu::video::SVector3f target, int32_t id);

    zu::scene::ESceneNodeType getType() const override { return zu::scene::ESNT_CAMERA; }

    void setTarget(zu::video::SVector3f target) override { m_target = target; }
    zu::video::SVector3f getTarget() const override { return m_target; }
    void setUpVector(zu::video::SVector3f up) override { m_up = up; }
    zu::video::SVector3f getUpVector() const override { return m_up; }
    void setFOV(float radians) override { m_fov = radians; }
    float getFOV() const override { return m_fov; }
    void setNearValue(float zNear) override { m_near = zNear; }
    float getNearValue() const override { return m_near; }
    void setFarValue(float zFar) override { m_far = zFar; }
    float getFarValue() const override { return m_far; }

    zu::core::CMatrix4 getViewMatrix() const override;
    zu::core::CMatrix4 getProjectionMatrix(float aspect, bool signedDepth) const override;

  private:
    zu::video::SVector3f m_target;
    zu::video::SVector3f m_up{0.f, 1.f, 0.f};
    float m_fov = 1.2566371f; // pi / 2.5
    float m_near = 1.f;
    float m_far = 3000.f;
};

} // namespace kelvo::scene
