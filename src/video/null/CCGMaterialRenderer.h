// CCGMaterialRenderer: the part of the Cg material renderers that does not
// depend on the graphics API: the programs and their destruction, draining
// the runtime's errors into the log, constants by name, and the callback
// before every draw. The renderer is a services object of its own: the
// callback sets constants on it, and they go to the named parameters of its
// programs. Each driver derives its renderer and adds building, binding and
// unbinding.
#pragma once

#include "core/CMatrix4.h"
#include "video/IMaterialRendererServices.h"
#include "video/null/CShaderMaterialRenderer.h"
#include "video/null/SCgFunctions.h"

namespace kelvo::video
{

class CCGMaterialRenderer : public CShaderMaterialRenderer,
                            public zu::video::IMaterialRendererServices
{
  public:
    // `driverServices` applies the shared states; `context` is the driver's
    // Cg context.
    CCGMaterialRenderer(zu::video::IVideoDriver* driver,
                        zu::video::IMaterialRendererServices* driverServices,
                        const SCgFunctions* cg, CGcontext context,
                        zu::video::IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                        int32_t userData);
    ~CCGMaterialRenderer() override;

    // The callback sets the constants before every draw.
    bool beforeDraw(zu::video::IMaterialRendererServices* services, int vertexType) override;

    // Services.
    void setBasicRenderStates(const zu::video::MaterialState& material,
                              const zu::video::MaterialState& lastMaterial,
                              bool resetAllRenderStates) override;
    zu::video::IVideoDriver* getVideoDriver() override { return m_driver; }
    void setVertexShaderConstant(const float* data, int32_t startRegister, int32_t count) override;
    void setPixelShaderConstant(const float* data, int32_t startRegister, int32_t count) override;
    bool setVertexShaderConstant(const char* name, const float* floats, int32_t count) override;
    bool setPixelShaderConstant(const char* name, const float* floats, int32_t count) override;

    CGprogram getVertexProgram() const { return m_vertexProgram; }
    CGprogram getPixelProgram() const { return m_pixelProgram; }

  protected:
    // P x (V x W) from the driver's projection, view and world matrices, for
    // a program's "modelViewProj" parameter.
    zu::core::CMatrix4 modelViewProjection() const;
    // Logs every pending runtime error as prefix: 'text'; true when there was one.
    bool drainErrors(const char* prefix);
    bool setParameter(CGprogram program, const char* name, const float* floats, int32_t count);
    // The parameter listing of a missed name, once per renderer.
    void reportMissing(const char* name);
    void listParameters(CGprogram program);

    zu::video::IMaterialRendererServices* m_driverServices;
    const SCgFunctions* m_cg;
    CGcontext m_context;
    CGprogram m_vertexProgram = nullptr;
    CGprogram m_pixelProgram = nullptr;
    bool m_reportMissing = true;
};

} // namespace kelvo::video
