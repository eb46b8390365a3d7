// CD3D9ShaderMaterialRenderer: a shader material of the Direct3D 9 driver
// made of assembly programs: a vertex shader, a pixel shader or both, each
// assembled from its text through D3DX or taken as precompiled tokens. The
// constants callback runs when the renderer switches to itself (the device's
// constant registers keep their values); the base material supplies the
// fixed-function states. The HLSL renderer derives from it.
#pragma once

#include "core/CString.h"
#include "video/null/CShaderMaterialRenderer.h"

#include <d3d9.h>
#include <d3dx9shader.h>

namespace kelvo::video
{

class CVideoDirectX9;

class CD3D9ShaderMaterialRenderer : public CShaderMaterialRenderer
{
  public:
    CD3D9ShaderMaterialRenderer(IDirect3DDevice9* device, CVideoDirectX9* driver,
                                zu::video::IShaderConstantSetCallBack* callback,
                                int32_t baseMaterial, int32_t userData);
    ~CD3D9ShaderMaterialRenderer() override;

    // Makes the shaders whose texts are given (an empty text skips its
    // stage); false at the first failure (logged).
    bool build(const zu::core::CString& vertexText, const zu::core::CString& pixelText);

    void bind(const zu::video::MaterialState& material,
              const zu::video::MaterialState& lastMaterial, bool resetAllRenderStates,
              zu::video::IMaterialRendererServices* services) override;
    void unbind() override;

    // A named constant; assembly programs have none (logged, false).
    virtual bool setVariable(bool vertex, const char* name, const float* floats, int32_t count);
    void setDevice(IDirect3DDevice9* device) { m_device = device; }

  protected:
    // Makes the stage's shader from its tokens; false logged.
    bool createShader(const DWORD* tokens, bool vertex, const char* createFailure);
    // Makes the stage's shader from what D3DX made of its text, or logs
    // `failed` and the D3DX errors; releases the buffers.
    bool createFromCode(HRESULT result, ID3DXBuffer* code, ID3DXBuffer* errors, bool vertex,
                        const char* failed, const char* createFailure);

    IDirect3DDevice9* m_device;
    IDirect3DVertexShader9* m_vertexShader = nullptr;
    IDirect3DVertexShader9* m_oldVertexShader = nullptr;
    IDirect3DPixelShader9* m_pixelShader = nullptr;

  private:
    // Makes the stage's shader from the text: its tokens when it holds a
    // precompiled shader of that kind, else assembled; false logged.
    bool assemble(const zu::core::CString& text, bool vertex);
};

} // namespace kelvo::video
