// COpenGLShaderMaterialRenderer: a material drawn with ARB vertex and
// fragment programs (assembly). Either program may be absent: its stage is
// then the fixed-function one. Constants are set once per switch, through
// the driver's register services (program local parameters).
#pragma once

#include "core/CString.h"
#include "video/null/CShaderMaterialRenderer.h"

namespace kelvo::video
{

class CVideoOpenGL;

class COpenGLShaderMaterialRenderer : public CShaderMaterialRenderer
{
  public:
    COpenGLShaderMaterialRenderer(CVideoOpenGL* driver,
                                  zu::video::IShaderConstantSetCallBack* callback,
                                  int32_t baseMaterial, int32_t userData);
    ~COpenGLShaderMaterialRenderer() override;

    // Loads the programs whose texts are not empty, vertex first; false (with
    // the driver's error position and text in the log) at the first failure.
    bool build(const zu::core::CString& vertexText, const zu::core::CString& pixelText);

    void bind(const zu::video::MaterialState& material,
              const zu::video::MaterialState& lastMaterial, bool resetAllRenderStates,
              zu::video::IMaterialRendererServices* services) override;
    void unbind() override;

    unsigned getVertexProgram() const { return m_vertexProgram; }
    unsigned getPixelProgram() const { return m_pixelProgram; }

  private:
    bool load(unsigned target, const zu::core::CString& text, unsigned& program,
              const char* failure);

    unsigned m_vertexProgram = 0;
    unsigned m_pixelProgram = 0;
};

} // namespace kelvo::video
