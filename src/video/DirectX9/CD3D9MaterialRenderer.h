// CD3D9MaterialRenderer: the fixed-function material types of the Direct3D 9
// driver, one class for the family (the light-map object serves its seven
// variants). Each bind sets up the texture stages and blending for its type
// and ends with the states every material shares. The family adds a named
// constant setter, which only the shader renderers answer.
#pragma once

#include "video/IMaterialRenderer.h"

#include <d3d9.h>

#include <cstdint>

namespace kelvo::video
{

class CVideoDirectX9;

class CD3D9MaterialRenderer : public zu::video::IMaterialRenderer
{
  public:
    enum EKind
    {
        SOLID,
        SOLID_2_LAYER,
        LIGHTMAP,
        SPHERE_MAP,
        REFLECTION_2_LAYER,
        TRANSPARENT_ADD_COLOR,
        TRANSPARENT_ALPHA_CHANNEL,
        TRANSPARENT_VERTEX_ALPHA,
        TRANSPARENT_REFLECTION_2_LAYER
    };

    CD3D9MaterialRenderer(IDirect3DDevice9* device, CVideoDirectX9* driver, EKind kind)
        : m_device(device), m_driver(driver), m_kind(kind)
    {
    }

    void bind(const zu::video::MaterialState& material,
              const zu::video::MaterialState& lastMaterial, bool resetAllRenderStates,
              zu::video::IMaterialRendererServices* services) override;
    void unbind() override;
    bool isTransparent() const override;
    // Sets a named constant of the renderer's programs; false here.
    virtual bool setVariable(bool vertex, const char* name, const float* floats, int32_t count);
    // After a reset the device is the same object with its states gone.
    void setDevice(IDirect3DDevice9* device) { m_device = device; }

  protected:
    IDirect3DDevice9* m_device;
    CVideoDirectX9* m_driver;

  private:
    void stage(DWORD stage, D3DTEXTUREOP colorOp, DWORD arg1, DWORD arg2, D3DTEXTUREOP alphaOp);
    void blend(bool on, D3DBLEND source = D3DBLEND_SRCALPHA,
               D3DBLEND destination = D3DBLEND_INVSRCALPHA);
    void sphereMap(DWORD generation);

    EKind m_kind;
};

} // namespace kelvo::video
