// COpenGLSLMaterialRenderer: a material drawn with a GLSL program. Either
// shader may be absent: its stage is then the fixed-function one. The
// constants callback runs before every draw with this renderer as its
// services; constants go to the program's uniforms by name (an array also
// under its bare name) and by the uniform's type.
#pragma once

#include "core/CString.h"
#include "video/IMaterialRendererServices.h"
#include "video/null/CShaderMaterialRenderer.h"

#include <vector>

namespace kelvo::video
{

class CVideoOpenGL;

class COpenGLSLMaterialRenderer : public CShaderMaterialRenderer,
                                  public zu::video::IMaterialRendererServices
{
  public:
    COpenGLSLMaterialRenderer(CVideoOpenGL* driver, zu::video::IShaderConstantSetCallBack* callback,
                              int32_t baseMaterial, int32_t userData);
    ~COpenGLSLMaterialRenderer() override;

    // Compiles the shaders whose texts are not empty, links them and reads
    // the active uniforms; false, with the compiler's or linker's log, on
    // any failure.
    bool build(const zu::core::CString& vertexText, const zu::core::CString& pixelText);

    void bind(const zu::video::MaterialState& material,
              const zu::video::MaterialState& lastMaterial, bool resetAllRenderStates,
              zu::video::IMaterialRendererServices* services) override;
    bool beforeDraw(zu::video::IMaterialRendererServices* services, int vertexType) override;
    void unbind() override;

    // Services.
    void setBasicRenderStates(const zu::video::MaterialState& material,
                              const zu::video::MaterialState& lastMaterial,
                              bool resetAllRenderStates) override;
    zu::video::IVideoDriver* getVideoDriver() override;
    void setVertexShaderConstant(const float* data, int32_t startRegister, int32_t count) override;
    void setPixelShaderConstant(const float* data, int32_t startRegister, int32_t count) override;
    bool setVertexShaderConstant(const char* name, const float* floats, int32_t count) override;
    bool setPixelShaderConstant(const char* name, const float* floats, int32_t count) override;

    struct SUniform
    {
        zu::core::CString name; // as the program reports it ("lights[0]" for an array)
        unsigned type;          // the GL type
        int32_t size;           // elements of an array, else 1
    };
    unsigned getProgram() const { return m_program; }
    const std::vector<SUniform>& getUniforms() const { return m_uniforms; }

  private:
    bool compile(unsigned kind, const zu::core::CString& text);
    bool readUniforms();
    const SUniform* findUniform(const char* name) const;

    CVideoOpenGL* m_glDriver;
    unsigned m_program = 0;
    std::vector<SUniform> m_uniforms;
};

} // namespace kelvo::video
