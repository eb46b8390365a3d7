// CD3D9HLSLMaterialRenderer: a shader material of the Direct3D 9 driver made
// of HLSL programs, compiled through D3DX ("D3DXCompileShader"). Each stage
// keeps the constant table of its program, through which constants are set
// by name; the callback sets them before every draw.
#pragma once

#include "video/DirectX9/CD3D9ShaderMaterialRenderer.h"

#include <d3dx9shader.h>

namespace kelvo::video
{

class CD3D9HLSLMaterialRenderer : public CD3D9ShaderMaterialRenderer
{
  public:
    using CD3D9ShaderMaterialRenderer::CD3D9ShaderMaterialRenderer;
    ~CD3D9HLSLMaterialRenderer() override;

    // Compiles the programs whose texts are given (an empty text skips its
    // stage). A target is a compile target's name ("vs_2_0", "ps_2_0") or
    // its index in the lists of targets; false at the first failure (logged).
    bool build(const zu::core::CString& vertexText, const zu::core::CString& vertexEntry,
               const zu::core::CString& vertexTarget, const zu::core::CString& pixelText,
               const zu::core::CString& pixelEntry, const zu::core::CString& pixelTarget);

    bool beforeDraw(zu::video::IMaterialRendererServices* services, int vertexType) override;
    bool setVariable(bool vertex, const char* name, const float* floats, int32_t count) override;

  private:
    bool compile(const zu::core::CString& text, const zu::core::CString& entry, const char* target,
                 bool vertex);

    ID3DXConstantTable* m_vertexTable = nullptr;
    ID3DXConstantTable* m_pixelTable = nullptr;
};

} // namespace kelvo::video
