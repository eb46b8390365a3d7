// COpenGLCGMaterialRenderer: a Cg material on the OpenGL driver. Each program
// is built for the latest profile the runtime offers for its stage, with the
// runtime's optimal options; binding also enables the profile and hands the
// model-view-projection matrix to a parameter named "modelViewProj".
#pragma once

#include "video/null/CCGMaterialRenderer.h"

namespace kelvo::video
{

class COpenGLCGMaterialRenderer : public CCGMaterialRenderer
{
  public:
    // Only the runtime's OpenGL functions touch OpenGL, so any driver and
    // services will do (tests hand it the null driver and a fake runtime).
    COpenGLCGMaterialRenderer(zu::video::IVideoDriver* driver,
                              zu::video::IMaterialRendererServices* driverServices,
                              const SCgFunctions* cg, CGcontext context,
                              zu::video::IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                              int32_t userData);

    // Builds the programs whose texts are given, vertex first; false at the
    // first runtime error (logged).
    bool build(const char* vertexText, const char* vertexEntry, const char* pixelText,
               const char* pixelEntry, bool compiled);

    void bind(const zu::video::MaterialState& material,
              const zu::video::MaterialState& lastMaterial, bool resetAllRenderStates,
              zu::video::IMaterialRendererServices* services) override;
    void unbind() override;

  private:
    bool buildProgram(int profileClass, const char* text, const char* entry, bool compiled,
                      CGprogram& program, int& profile, const char* createFailure,
                      const char* loadFailure);

    int m_vertexProfile = 0;
    int m_pixelProfile = 0;
};

} // namespace kelvo::video
