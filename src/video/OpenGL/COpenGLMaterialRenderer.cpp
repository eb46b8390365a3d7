#include "video/OpenGL/COpenGLMaterialRenderer.h"

#include "video/IMaterialRendererServices.h"
#include "video/MaterialState.h"
#include "video/OpenGL/CVideoOpenGL.h"

#include <GL/glew.h>

using zu::video::MaterialState;

namespace kelvo::video
{
namespace
{

void setEnvMode(GLenum unit, GLint mode)
{
    glActiveTexture(unit);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
}

void setSphereGeneration(bool on)
{
    glActiveTexture(GL_TEXTURE0);
    if (on)
    {
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    }
    else
    {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

void blend(bool on, GLenum source = GL_SRC_ALPHA, GLenum destination = GL_ONE_MINUS_SRC_ALPHA)
{
    if (on)
    {
        glBlendFunc(source, destination);
        glEnable(GL_BLEND);
    }
    else
        glDisable(GL_BLEND);
}

void alphaTest(bool on)
{
    if (on)
    {
        glAlphaFunc(GL_GREATER, 0.f);
        glEnable(GL_ALPHA_TEST);
    }
    else
        glDisable(GL_ALPHA_TEST);
}

// The second unit stops texturing and passes the first one's result on.
void secondUnitOff()
{
    glActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

} // namespace

bool COpenGLMaterialRenderer::isTransparent() const { return m_kind >= TRANSPARENT_ADD_COLOR; }

bool COpenGLMaterialRenderer::usesSphereMap() const
{
    return m_kind == SPHERE_MAP || m_kind == REFLECTION_2_LAYER ||
           m_kind == TRANSPARENT_REFLECTION_2_LAYER;
}

void COpenGLMaterialRenderer::bind(const MaterialState& material, const MaterialState& lastMaterial,
                                   bool resetAll, zu::video::IMaterialRendererServices* services)
{
    const bool changed = material.MaterialType != lastMaterial.MaterialType || resetAll;
    // Some types never write depth; the shared states then see it off.
    MaterialState applied = material;

    switch (m_kind)
    {
    case SOLID:
        // The texture is rebound on every bind, even when the type is unchanged.
        m_driver->setTexture(0, material.Textures[0]);
        m_driver->setTexture(1, nullptr);
        setEnvMode(GL_TEXTURE0, GL_MODULATE);
        blend(false);
        alphaTest(false);
        break;
    case SOLID_2_LAYER:
        if (changed)
        {
            setEnvMode(GL_TEXTURE0, GL_MODULATE);
            blend(false);
        }
        break;
    case LIGHTMAP:
        if (changed)
            bindLightmap(material.MaterialType);
        break;
    case SPHERE_MAP:
    case REFLECTION_2_LAYER:
        if (changed)
        {
            secondUnitOff();
            setEnvMode(GL_TEXTURE0, GL_MODULATE);
            blend(false);
            alphaTest(false);
            setSphereGeneration(true);
        }
        break;
    case TRANSPARENT_ADD_COLOR:
        if (changed)
        {
            m_driver->setTexture(1, nullptr);
            setEnvMode(GL_TEXTURE0, GL_MODULATE);
            blend(true, GL_ONE, GL_ONE_MINUS_SRC_COLOR);
        }
        applied.ZWriteEnable = false;
        break;
    case TRANSPARENT_ALPHA_CHANNEL:
        if (changed)
        {
            alphaTest(true);
            m_driver->setTexture(1, nullptr);
            glActiveTexture(GL_TEXTURE0);
            blend(true);
            setEnvMode(GL_TEXTURE0, GL_MODULATE);
        }
        break;
    case TRANSPARENT_VERTEX_ALPHA:
        if (changed)
        {
            alphaTest(false);
            m_driver->setTexture(1, nullptr);
            glActiveTexture(GL_TEXTURE0);
            blend(true);
            setEnvMode(GL_TEXTURE0, GL_MODULATE);
        }
        applied.ZWriteEnable = false;
        break;
    case TRANSPARENT_REFLECTION_2_LAYER:
        if (changed)
        {
            secondUnitOff();
            blend(true, GL_ONE, GL_ONE_MINUS_SRC_COLOR);
            setEnvMode(GL_TEXTURE0, GL_MODULATE);
            alphaTest(false);
            setSphereGeneration(true);
        }
        applied.ZWriteEnable = false;
        break;
    }
    services->setBasicRenderStates(applied, lastMaterial, resetAll);
}

void COpenGLMaterialRenderer::bindLightmap(int32_t type)
{
    blend(false);
    alphaTest(false);
    // Unit 0 passes its texture on; unit 1 combines the light map with it.
    setEnvMode(GL_TEXTURE0, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);

    glActiveTexture(GL_TEXTURE1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB,
              type == zu::video::EMT_LIGHTMAP_ADD ? GL_ADD : GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_PREVIOUS);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    GLfloat scale = 1.f;
    if (type == zu::video::EMT_LIGHTMAP_M4)
        scale = 4.f;
    else if (type == zu::video::EMT_LIGHTMAP_M2)
        scale = 2.f;
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, scale);
    glActiveTexture(GL_TEXTURE0);
}

void COpenGLMaterialRenderer::unbind()
{
    if (m_kind == REFLECTION_2_LAYER)
    {
        secondUnitOff();
        glActiveTexture(GL_TEXTURE0);
    }
    if (usesSphereMap())
        setSphereGeneration(false);
}

} // namespace kelvo::video
