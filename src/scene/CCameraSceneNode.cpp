#include "scene/CCameraSceneNode.h"

#include "scene/SceneMath.h"

#include <cmath>

namespace kelvo::scene
{

CCameraSceneNode::CCameraSceneNode(zu::video::SVector3f position, zu::video::SVector3f target,
                                   int32_t id)
    : CSceneNode(position, {}, {1.f, 1.f, 1.f}, id), m_target(target)
{
}

CMatrix4 CCameraSceneNode::getViewMatrix() const
{
    const SVector3f eye = getPosition();
    SVector3f forward = normalize(m_target - eye);
    if (length(forward) == 0.f) forward = {0.f, 0.f, 1.f};
    SVector3f right = normalize(cross(m_up, forward));
    // An up vector along the line of sight leaves no sideways direction:
    // any one across it will do.
    if (length(right) == 0.f)
        right = normalize(
            cross(std::fabs(forward.y) < 0.9f ? SVector3f{0.f, 1.f, 0.f} : SVector3f{1.f, 0.f, 0.f},
                  forward));
    const SVector3f up = cross(forward, right);
    CMatrix4 m;
    const SVector3f axes[3] = {right, up, forward};
    for (int c = 0; c < 3; ++c)
    {
        m(0, c) = axes[c].x;
        m(1, c) = axes[c].y;
        m(2, c) = axes[c].z;
        m(3, c) = -dot(axes[c], eye);
    }
    return m;
}

CMatrix4 CCameraSceneNode::getProjectionMatrix(float aspect, bool signedDepth) const
{
    // Nonsense planes and angles from a script still give a usable matrix.
    const float zNear = m_near > 0.f ? m_near : 0.001f;
    const float zFar = m_far > zNear ? m_far : zNear + 1.f;
    const float fov = (m_fov > 0.001f && m_fov < 3.14f) ? m_fov : 1.2566371f;
    const float yScale = 1.f / std::tan(fov * 0.5f);
    const float xScale = yScale / (aspect > 0.f ? aspect : 1.f);
    CMatrix4 m;
    m(0, 0) = xScale;
    m(1, 1) = yScale;
    m(2, 3) = 1.f;
    m(3, 3) = 0.f;
    if (signedDepth)
    {
        m(2, 2) = (zFar + zNear) / (zFar - zNear);
        m(3, 2) = -2.f * zNear * zFar / (zFar - zNear);
    }
    else
    {
        m(2, 2) = zFar / (zFar - zNear);
        m(3, 2) = -zNear * zFar / (zFar - zNear);
    }
    return m;
}

} // namespace kelvo::scene
