#include "video/DirectX9/CD3D9CGMaterialRenderer.h"

#include "core/CMatrix4.h"
#include "video/IMaterialRendererServices.h"
#include "video/IVideoDriver.h"
#include "video/MaterialState.h"

#include <cstring>

using zu::video::MaterialState;

namespace kelvo::video
{

CD3D9CGMaterialRenderer::CD3D9CGMaterialRenderer(IDirect3DDevice9* device,
                                                 zu::video::IVideoDriver* driver,
                                                 zu::video::IMaterialRendererServices* services,
                                                 const SCgFunctions* cg, CGcontext context,
                                                 zu::video::IShaderConstantSetCallBack* callback,
                                                 int32_t baseMaterial, int32_t userData)
    : CCGMaterialRenderer(driver, services, cg, context, callback, baseMaterial, userData),
      m_device(device)
{
}

CD3D9CGMaterialRenderer::~CD3D9CGMaterialRenderer()
{
    // The device lets go of the programs before the runtime unloads them;
    // the base destroys them.
    if (m_vertexProgram || m_pixelProgram)
    {
        m_device->SetVertexShader(nullptr);
        m_device->SetPixelShader(nullptr);
    }
    if (m_vertexProgram) m_cg->d3d9UnloadProgram(m_vertexProgram);
    if (m_pixelProgram) m_cg->d3d9UnloadProgram(m_pixelProgram);
}

bool CD3D9CGMaterialRenderer::build(const char* vertexText, const char* vertexEntry,
                                    const char* pixelText, const char* pixelEntry, bool compiled)
{
    if (vertexText && !buildProgram(m_cg->d3d9GetLatestVertexProfile(), vertexText, vertexEntry,
                                    compiled, m_vertexProgram, "Error creating CG vertex program",
                                    "Error loading CG vertex program"))
        return false;
    return !pixelText || buildProgram(m_cg->d3d9GetLatestPixelProfile(), pixelText, pixelEntry,
                                      compiled, m_pixelProgram, "Error creating CG pixel program",
                                      "Error loading CG pixel program");
}

bool CD3D9CGMaterialRenderer::buildProgram(int profile, const char* text, const char* entry,
                                           bool compiled, CGprogram& program,
                                           const char* createFailure, const char* loadFailure)
{
    const char** options = m_cg->d3d9GetOptimalOptions(profile);
    program = m_cg->createProgram(m_context, compiled ? CG_OBJECT : CG_SOURCE, text, profile, entry,
                                  options);
    if (drainErrors(createFailure) || !program) return false;
    m_cg->d3d9LoadProgram(program, 0, 0);
    return !drainErrors(loadFailure);
}

void CD3D9CGMaterialRenderer::bind(const MaterialState& material, const MaterialState& lastMaterial,
                                   bool resetAll, zu::video::IMaterialRendererServices* services)
{
    if (isSwitching(material, lastMaterial, resetAll))
    {
        callConstants(this, 0);
        if (m_vertexProgram)
        {
            m_cg->d3d9BindProgram(m_vertexProgram);
            drainErrors("Error binding CG vertex program");
            if (CGparameter mvp = m_cg->getNamedParameter(m_vertexProgram, "modelViewProj"))
            {
                const zu::core::CMatrix4 matrix = modelViewProjection();
                D3DMATRIX uniform;
                static_assert(sizeof uniform == sizeof matrix.m, "a 4 x 4 float matrix");
                memcpy(&uniform, matrix.m, sizeof uniform);
                m_cg->d3d9SetUniformMatrix(mvp, &uniform);
            }
        }
        if (m_pixelProgram)
        {
            m_cg->d3d9BindProgram(m_pixelProgram);
            drainErrors("Error binding CG pixel program");
        }
        bindBase(material, this);
    }
    services->setBasicRenderStates(material, lastMaterial, resetAll);
}

void CD3D9CGMaterialRenderer::unbind()
{
    if (m_vertexProgram) m_device->SetVertexShader(nullptr);
    if (m_pixelProgram) m_device->SetPixelShader(nullptr);
    unbindBase();
}

} // namespace kelvo::video
