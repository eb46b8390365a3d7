#include "video/OpenGL/COpenGLCGMaterialRenderer.h"

#include "core/CMatrix4.h"
#include "video/IVideoDriver.h"

using zu::video::MaterialState;

namespace kelvo::video
{

COpenGLCGMaterialRenderer::COpenGLCGMaterialRenderer(
    zu::video::IVideoDriver* driver, zu::video::IMaterialRendererServices* services,
    const SCgFunctions* cg, CGcontext context, zu::video::IShaderConstantSetCallBack* callback,
    int32_t baseMaterial, int32_t userData)
    : CCGMaterialRenderer(driver, services, cg, context, callback, baseMaterial, userData)
{
}

bool COpenGLCGMaterialRenderer::build(const char* vertexText, const char* vertexEntry,
                                      const char* pixelText, const char* pixelEntry, bool compiled)
{
    if (vertexText &&
        !buildProgram(CG_GL_VERTEX, vertexText, vertexEntry, compiled, m_vertexProgram,
                      m_vertexProfile, "Error creating CG vertex program",
                      "Error loading CG vertex program"))
        return false;
    return !pixelText ||
           buildProgram(CG_GL_FRAGMENT, pixelText, pixelEntry, compiled, m_pixelProgram,
                        m_pixelProfile, "Error creating CG pixel program",
                        "Error loading CG pixel program");
}

bool COpenGLCGMaterialRenderer::buildProgram(int profileClass, const char* text, const char* entry,
                                             bool compiled, CGprogram& program, int& profile,
                                             const char* createFailure, const char* loadFailure)
{
    profile = m_cg->glGetLatestProfile(profileClass);
    m_cg->glSetOptimalOptions(profile);
    program = m_cg->createProgram(m_context, compiled ? CG_OBJECT : CG_SOURCE, text, profile, entry,
                                  nullptr);
    if (drainErrors(createFailure) || !program) return false;
    m_cg->glLoadProgram(program);
    return !drainErrors(loadFailure);
}

void COpenGLCGMaterialRenderer::bind(const MaterialState& material,
                                     const MaterialState& lastMaterial, bool resetAll,
                                     zu::video::IMaterialRendererServices* services)
{
    if (isSwitching(material, lastMaterial, resetAll))
    {
        callConstants(this, 0);
        if (m_vertexProgram)
        {
            m_cg->glBindProgram(m_vertexProgram);
            m_cg->glEnableProfile(m_vertexProfile);
            drainErrors("Error binding CG vertex program");
            if (CGparameter mvp = m_cg->getNamedParameter(m_vertexProgram, "modelViewProj"))
                m_cg->glSetMatrixParameterfc(mvp, modelViewProjection().m);
        }
        if (m_pixelProgram)
        {
            m_cg->glBindProgram(m_pixelProgram);
            m_cg->glEnableProfile(m_pixelProfile);
            drainErrors("Error binding CG pixel program");
        }
        bindBase(material, this);
    }
    services->setBasicRenderStates(material, lastMaterial, resetAll);
}

void COpenGLCGMaterialRenderer::unbind()
{
    if (m_vertexProgram)
    {
        m_cg->glUnbindProgram(m_vertexProfile);
        m_cg->glDisableProfile(m_vertexProfile);
        drainErrors("Error unbinding CG vertex program");
    }
    if (m_pixelProgram)
    {
        m_cg->glUnbindProgram(m_pixelProfile);
        m_cg->glDisableProfile(m_pixelProfile);
        drainErrors("Error unbinding CG pixel program");
    }
    unbindBase();
}

} // namespace kelvo::video
