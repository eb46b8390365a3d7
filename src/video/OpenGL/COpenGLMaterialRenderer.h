// COpenGLMaterialRenderer: the fixed-function material types of the OpenGL
// driver. Each renderer sets up texture units and blending for its type and
// ends with the states every material shares. A renderer counts as changed
// when the type differs from the last one bound or all states are reset.
#pragma once

#include "video/IMaterialRenderer.h"

#include <cstdint>

namespace kelvo::video
{

class CVideoOpenGL;

class COpenGLMaterialRenderer : public zu::video::IMaterialRenderer
{
public:
    enum EKind
    {
        SOLID,
        SOLID_2_LAYER,
        LIGHTMAP,
        SPHERE_MAP,
        REFLECTION_2_LAYER,
        TRANSPARENT_ADD_COLOR,
        TRANSPARENT_ALPHA_CHANNEL,
        TRANSPARENT_VERTEX_ALPHA,
        TRANSPARENT_REFLECTION_2_LAYER
    };

    COpenGLMaterialRenderer(CVideoOpenGL* driver, EKind kind) : m_driver(driver), m_kind(kind) {}

    void bind(const zu::video::MaterialState& material, const zu::video::MaterialState& lastMaterial,
              bool resetAllRenderStates, zu::video::IMaterialRendererServices* services) override;
    void unbind() override;
    bool isTransparent() const override;

    // Whether this type generates sphere-map texture coordinates.
    bool usesSphereMap() const;

private:
    void bindLightmap(int32_t type);

    CVideoOpenGL* m_driver;
    EKind m_kind;
};

} // namespace kelvo::video
