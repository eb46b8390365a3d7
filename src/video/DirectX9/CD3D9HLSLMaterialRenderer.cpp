#include "video/DirectX9/CD3D9HLSLMaterialRenderer.h"

#include "core/Output.h"
#include "video/DirectX9/CD3DXLibrary.h"

#include <cstdlib>
#include <cstring>

using zu::core::CString;
using zu::core::ELL_INFORMATION;
using zu::core::ELL_WARNING;

namespace kelvo::video
{
namespace
{

const char* const kVertexTargets[] = {"vs_1_1", "vs_2_0", "vs_2_a", "vs_3_0"};
// Index 4 of the vertex targets is "none": no target.
constexpr int kVertexNone = 4;
const char* const kPixelTargets[] = {"ps_1_1", "ps_1_2", "ps_1_3", "ps_1_4",
                                     "ps_2_0", "ps_2_a", "ps_2_b", "ps_3_0"};

// The target's index: its name's place in the list, or the index itself.
int targetIndex(const CString& target, const char* const* names, int count)
{
    for (int i = 0; i < count; ++i)
        if (target == names[i]) return i;
    if (target.empty() || target.size() > 3) return -1;
    for (size_t i = 0; i < target.size(); ++i)
        if (target[i] < '0' || target[i] > '9') return -1;
    return atoi(target.c_str());
}

} // namespace

CD3D9HLSLMaterialRenderer::~CD3D9HLSLMaterialRenderer()
{
    if (m_vertexTable) m_vertexTable->Release();
    if (m_pixelTable) m_pixelTable->Release();
}

bool CD3D9HLSLMaterialRenderer::build(const CString& vertexText, const CString& vertexEntry,
                                      const CString& vertexTarget, const CString& pixelText,
                                      const CString& pixelEntry, const CString& pixelTarget)
{
    if (!vertexText.empty())
    {
        const int index = targetIndex(vertexTarget, kVertexTargets, kVertexNone);
        if (index < 0 || index > kVertexNone)
        {
            zu::core::zuLogText("Invalid HLSL vertex shader compilation target", ELL_INFORMATION);
            return false;
        }
        if (index < kVertexNone && !compile(vertexText, vertexEntry, kVertexTargets[index], true))
            return false;
    }
    if (pixelText.empty()) return true;
    const int count = int(sizeof kPixelTargets / sizeof kPixelTargets[0]);
    const int index = targetIndex(pixelTarget, kPixelTargets, count);
    if (index < 0 || index >= count)
    {
        zu::core::zuLogText("Invalid HLSL pixel shader compilation target", ELL_INFORMATION);
        return false;
    }
    return compile(pixelText, pixelEntry, kPixelTargets[index], false);
}

bool CD3D9HLSLMaterialRenderer::compile(const CString& text, const CString& entry,
                                        const char* target, bool vertex)
{
    CD3DXLibrary::CompileFunction compileShader = CD3DXLibrary::compileShader();
    if (!compileShader) return false;
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    ID3DXConstantTable*& table = vertex ? m_vertexTable : m_pixelTable;
    const HRESULT result =
        compileShader(text.data(), UINT(text.size()), nullptr, nullptr, entry.c_str(), target,
                      vertex ? D3DXSHADER_SKIPOPTIMIZATION : 0, &code, &errors, &table);
    return createFromCode(
        result, code, errors, vertex,
        vertex ? "HLSL vertex shader compilation failed:" : "HLSL pixel shader compilation failed:",
        vertex ? "Could not create hlsl vertex shader." : "Could not create hlsl pixel shader.");
}

bool CD3D9HLSLMaterialRenderer::beforeDraw(zu::video::IMaterialRendererServices* services, int)
{
    if (m_vertexTable) m_vertexTable->SetDefaults(m_device);
    if (m_vertexShader || m_pixelShader) callConstants(services, m_userData);
    return true;
}

bool CD3D9HLSLMaterialRenderer::setVariable(bool vertex, const char* name, const float* floats,
                                            int32_t count)
{
    ID3DXConstantTable* table = vertex ? m_vertexTable : m_pixelTable;
    D3DXHANDLE constant = (table && name) ? table->GetConstantByName(nullptr, name) : nullptr;
    if (!constant)
    {
        zu::core::zuLog(
            ELL_WARNING,
            "HLSL Variable to set not found: '%s'. Available variables are:", name ? name : "");
        D3DXCONSTANTTABLE_DESC description;
        if (!table || FAILED(table->GetDesc(&description))) return false;
        for (UINT i = 0; i < description.Constants; ++i)
        {
            D3DXCONSTANT_DESC constantDescription;
            UINT found = 1;
            if (FAILED(table->GetConstantDesc(table->GetConstant(nullptr, i), &constantDescription,
                                              &found)) ||
                found == 0)
                continue;
            zu::core::zuLog(ELL_INFORMATION, "  '%s' Registers:[begin:%u, count:%u]",
                            constantDescription.Name ? constantDescription.Name : "",
                            constantDescription.RegisterIndex, constantDescription.RegisterCount);
        }
        return false;
    }
    if (count == 0) return true;
    if (count < 0 || !floats ||
        FAILED(table->SetValue(m_device, constant, floats, UINT(count) * sizeof(float))))
    {
        zu::core::zuLogText("Error setting float array for HLSL variable", ELL_WARNING);
        return false;
    }
    return true;
}

} // namespace kelvo::video
