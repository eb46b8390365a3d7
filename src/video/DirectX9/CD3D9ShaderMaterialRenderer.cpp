#include "video/DirectX9/CD3D9ShaderMaterialRenderer.h"

#include "core/Output.h"
#include "video/DirectX9/CD3DXLibrary.h"
#include "video/DirectX9/CVideoDirectX9.h"
#include "video/IMaterialRendererServices.h"
#include "video/MaterialState.h"

#include <cstring>
#include <vector>

using zu::core::CString;
using zu::core::ELL_INFORMATION;
using zu::video::MaterialState;

namespace kelvo::video
{
namespace
{

// A precompiled shader: whole tokens, the version token of its kind first
// (high word 0xFFFE vertex, 0xFFFF pixel) and the end token last.
bool holdsTokens(const CString& text, bool vertex, std::vector<DWORD>& tokens)
{
    if (text.size() < 8 || text.size() % 4 != 0) return false;
    tokens.resize(text.size() / 4);
    memcpy(tokens.data(), text.data(), text.size());
    return (tokens.front() >> 16) == (vertex ? 0xFFFEu : 0xFFFFu) && tokens.back() == 0x0000FFFFu;
}

} // namespace

CD3D9ShaderMaterialRenderer::CD3D9ShaderMaterialRenderer(
    IDirect3DDevice9* device, CVideoDirectX9* driver,
    zu::video::IShaderConstantSetCallBack* callback, int32_t baseMaterial, int32_t userData)
    : CShaderMaterialRenderer(driver, callback, baseMaterial, userData), m_device(device)
{
}

CD3D9ShaderMaterialRenderer::~CD3D9ShaderMaterialRenderer()
{
    if (m_vertexShader) m_vertexShader->Release();
    if (m_pixelShader) m_pixelShader->Release();
    if (m_oldVertexShader) m_oldVertexShader->Release();
}

bool CD3D9ShaderMaterialRenderer::build(const CString& vertexText, const CString& pixelText)
{
    return (vertexText.empty() || assemble(vertexText, true)) &&
           (pixelText.empty() || assemble(pixelText, false));
}

bool CD3D9ShaderMaterialRenderer::assemble(const CString& text, bool vertex)
{
    const char* createFailure =
        vertex ? "Could not create vertex shader." : "Could not create pixel shader.";
    std::vector<DWORD> tokens;
    if (holdsTokens(text, vertex, tokens))
        return createShader(tokens.data(), vertex, createFailure);
    CD3DXLibrary::AssembleFunction assembleShader = CD3DXLibrary::assembleShader();
    if (!assembleShader) return false;
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    const HRESULT result =
        assembleShader(text.data(), UINT(text.size()), nullptr, nullptr, 0, &code, &errors);
    return createFromCode(
        result, code, errors, vertex,
        vertex ? "Vertex shader assembly failed:" : "Pixel shader assembly failed:", createFailure);
}

bool CD3D9ShaderMaterialRenderer::createFromCode(HRESULT result, ID3DXBuffer* code,
                                                 ID3DXBuffer* errors, bool vertex,
                                                 const char* failed, const char* createFailure)
{
    bool made = false;
    if (FAILED(result) || !code)
    {
        zu::core::zuLogText(failed, ELL_INFORMATION);
        if (errors)
            zu::core::zuLogText(static_cast<const char*>(errors->GetBufferPointer()),
                                ELL_INFORMATION);
    }
    else
        made = createShader(static_cast<const DWORD*>(code->GetBufferPointer()), vertex,
                            createFailure);
    if (code) code->Release();
    if (errors) errors->Release();
    return made;
}

bool CD3D9ShaderMaterialRenderer::createShader(const DWORD* tokens, bool vertex,
                                               const char* createFailure)
{
    const HRESULT result = vertex ? m_device->CreateVertexShader(tokens, &m_vertexShader)
                                  : m_device->CreatePixelShader(tokens, &m_pixelShader);
    if (SUCCEEDED(result) && (vertex ? m_vertexShader != nullptr : m_pixelShader != nullptr))
        return true;
    if (vertex)
        m_vertexShader = nullptr;
    else
        m_pixelShader = nullptr;
    zu::core::zuLogText(createFailure, ELL_INFORMATION);
    return false;
}

void CD3D9ShaderMaterialRenderer::bind(const MaterialState& material,
                                       const MaterialState& lastMaterial, bool resetAll,
                                       zu::video::IMaterialRendererServices* services)
{
    if (isSwitching(material, lastMaterial, resetAll))
    {
        callConstants(services, m_userData);
        if (m_vertexShader)
        {
            // The shader that was set goes back on unbind.
            if (m_oldVertexShader) m_oldVertexShader->Release();
            m_oldVertexShader = nullptr;
            m_device->GetVertexShader(&m_oldVertexShader);
            if (FAILED(m_device->SetVertexShader(m_vertexShader)))
                zu::core::zuLogText("Could not set vertex shader.", ELL_INFORMATION);
        }
        if (m_pixelShader && FAILED(m_device->SetPixelShader(m_pixelShader)))
            zu::core::zuLogText("Could not set pixel shader.", ELL_INFORMATION);
        bindBase(material, services);
    }
    services->setBasicRenderStates(material, lastMaterial, resetAll);
}

void CD3D9ShaderMaterialRenderer::unbind()
{
    if (m_vertexShader)
    {
        m_device->SetVertexShader(m_oldVertexShader);
        if (m_oldVertexShader) m_oldVertexShader->Release();
        m_oldVertexShader = nullptr;
    }
    m_device->SetPixelShader(nullptr);
    unbindBase();
}

bool CD3D9ShaderMaterialRenderer::setVariable(bool, const char*, const float*, int32_t)
{
    zu::core::zuLogText("Invalid material to set variable in.", ELL_INFORMATION);
    return false;
}

} // namespace kelvo::video
