// CD3D9CGMaterialRenderer: a Cg material on the Direct3D 9 driver. Each
// program is built for the device's latest profile of its stage with the
// runtime's optimal options as compile arguments, and loaded without
// parameter shadowing; binding hands the model-view-projection matrix to a
// parameter named "modelViewProj". The runtime must have been given the
// driver's device.
#pragma once

#include "video/null/CCGMaterialRenderer.h"

#include <d3d9.h>

namespace kelvo::video
{

class CD3D9CGMaterialRenderer : public CCGMaterialRenderer
{
  public:
    CD3D9CGMaterialRenderer(IDirect3DDevice9* device, zu::video::IVideoDriver* driver,
                            zu::video::IMaterialRendererServices* driverServices,
                            const SCgFunctions* cg, CGcontext context,
                            zu::video::IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                            int32_t userData);
    ~CD3D9CGMaterialRenderer() override;

    // Builds the programs whose texts are given, vertex first; false at the
    // first runtime error (logged).
    bool build(const char* vertexText, const char* vertexEntry, const char* pixelText,
               const char* pixelEntry, bool compiled);

    void bind(const zu::video::MaterialState& material,
              const zu::video::MaterialState& lastMaterial, bool resetAllRenderStates,
              zu::video::IMaterialRendererServices* services) override;
    void unbind() override;
    void setDevice(IDirect3DDevice9* device) { m_device = device; }

  private:
    bool buildProgram(int profile, const char* text, const char* entry, bool compiled,
                      CGprogram& program, const char* createFailure, const char* loadFailure);

    IDirect3DDevice9* m_device;
};

} // namespace kelvo::video
