#include "video/null/CCGMaterialRenderer.h"

#include "core/Output.h"
#include "video/IVideoDriver.h"

using zu::core::ELL_INFORMATION;
using zu::core::ELL_WARNING;
using zu::core::zuLog;

namespace kelvo::video
{

CCGMaterialRenderer::CCGMaterialRenderer(zu::video::IVideoDriver* driver,
                                         zu::video::IMaterialRendererServices* driverServices,
                                         const SCgFunctions* cg, CGcontext context,
                                         zu::video::IShaderConstantSetCallBack* callback,
                                         int32_t baseMaterial, int32_t userData)
    : CShaderMaterialRenderer(driver, callback, baseMaterial, userData),
      m_driverServices(driverServices), m_cg(cg), m_context(context)
{
}

CCGMaterialRenderer::~CCGMaterialRenderer()
{
    if (m_vertexProgram) m_cg->destroyProgram(m_vertexProgram);
    if (m_pixelProgram) m_cg->destroyProgram(m_pixelProgram);
}

bool CCGMaterialRenderer::beforeDraw(zu::video::IMaterialRendererServices*, int)
{
    if (m_vertexProgram || m_pixelProgram) callConstants(this, m_userData);
    return true;
}

void CCGMaterialRenderer::setBasicRenderStates(const zu::video::MaterialState& material,
                                               const zu::video::MaterialState& lastMaterial,
                                               bool resetAllRenderStates)
{
    m_driverServices->setBasicRenderStates(material, lastMaterial, resetAllRenderStates);
}

void CCGMaterialRenderer::setVertexShaderConstant(const float*, int32_t, int32_t)
{
    zu::core::zuLogText("Cannot set constant, please use high level shader call instead.",
                        ELL_INFORMATION);
}

void CCGMaterialRenderer::setPixelShaderConstant(const float*, int32_t, int32_t)
{
    zu::core::zuLogText("Cannot set constant, please use high level shader call instead.",
                        ELL_INFORMATION);
}

bool CCGMaterialRenderer::setVertexShaderConstant(const char* name, const float* floats,
                                                  int32_t count)
{
    return setParameter(m_vertexProgram, name, floats, count);
}

bool CCGMaterialRenderer::setPixelShaderConstant(const char* name, const float* floats,
                                                 int32_t count)
{
    return setParameter(m_pixelProgram, name, floats, count);
}

zu::core::CMatrix4 CCGMaterialRenderer::modelViewProjection() const
{
    using zu::video::ETS_PROJECTION;
    using zu::video::ETS_VIEW;
    using zu::video::ETS_WORLD;
    return m_driver->getTransform(ETS_PROJECTION) *
           (m_driver->getTransform(ETS_VIEW) * m_driver->getTransform(ETS_WORLD));
}

bool CCGMaterialRenderer::drainErrors(const char* prefix)
{
    bool any = false;
    // A runtime that keeps reporting would never let the loop end.
    for (int guard = 0; guard < 64; ++guard)
    {
        const int error = m_cg->getError();
        if (error == CG_NO_ERROR) break;
        any = true;
        const char* text = m_cg->getErrorString(error);
        zuLog(ELL_WARNING, "%s: '%s'", prefix, text ? text : "");
    }
    return any;
}

bool CCGMaterialRenderer::setParameter(CGprogram program, const char* name, const float* floats,
                                       int32_t count)
{
    CGparameter parameter = (program && name) ? m_cg->getNamedParameter(program, name) : nullptr;
    if (!parameter)
    {
        reportMissing(name ? name : "");
        return false;
    }
    if (count > 0 && floats) m_cg->setParameterValuefr(parameter, count, floats);
    return !drainErrors("Error setting variable");
}

void CCGMaterialRenderer::reportMissing(const char* name)
{
    if (!m_reportMissing) return;
    m_reportMissing = false;
    zuLog(ELL_WARNING, "CG variable not found: '%s'. Available variables are:", name);
    zu::core::zuLogText("Vertex program parameters:", ELL_WARNING);
    listParameters(m_vertexProgram);
    zu::core::zuLogText("Pixel program parameters:", ELL_WARNING);
    listParameters(m_pixelProgram);
}

void CCGMaterialRenderer::listParameters(CGprogram program)
{
    if (!program) return;
    // Bounded, so a runtime that loops its list cannot hang the listing.
    CGparameter parameter = m_cg->getFirstParameter(program, CG_PROGRAM);
    for (int n = 0; parameter && n < 1024; ++n)
    {
        const char* name = m_cg->getParameterName(parameter);
        zuLog(ELL_WARNING, "- %s - size %dx%d", name ? name : "", m_cg->getParameterRows(parameter),
              m_cg->getParameterColumns(parameter));
        parameter = m_cg->getNextParameter(parameter);
    }
}

} // namespace kelvo::video
