// CShaderMaterialRenderer: what every shader material renderer shares, on
// every driver: the constants callback, the user data handed back to it, and
// the base material whose renderer supplies the fixed-function states and
// the transparency. A renderer binds its base whenever it switches to
// itself and unbinds it last.
#pragma once

#include "video/IMaterialRenderer.h"
#include "video/MaterialState.h"

#include <cstdint>

namespace zu::video
{
class IShaderConstantSetCallBack;
class IVideoDriver;
} // namespace zu::video

namespace kelvo::video
{

class CShaderMaterialRenderer : public zu::video::IMaterialRenderer
{
  public:
    // Holds a reference on the callback and on the base material's renderer
    // (none when baseMaterial names no renderer).
    CShaderMaterialRenderer(zu::video::IVideoDriver* driver,
                            zu::video::IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                            int32_t userData);
    ~CShaderMaterialRenderer() override;

    // A shader drawn over a transparent base blends and sorts as transparent.
    bool isTransparent() const override;

    zu::video::IShaderConstantSetCallBack* getCallback() const { return m_callback; }
    zu::video::IMaterialRenderer* getBaseRenderer() const { return m_baseRenderer; }
    int32_t getUserData() const { return m_userData; }

  protected:
    // A renderer switches when the type changes or all states are reset.
    static bool isSwitching(const zu::video::MaterialState& material,
                            const zu::video::MaterialState& lastMaterial, bool resetAll)
    {
        return resetAll || material.MaterialType != lastMaterial.MaterialType;
    }
    // The base renderer's full set-up of the material, through `services`.
    void bindBase(const zu::video::MaterialState& material,
                  zu::video::IMaterialRendererServices* services);
    void unbindBase();
    // Hands the callback the services, when there is a callback.
    void callConstants(zu::video::IMaterialRendererServices* services, int32_t userData);

    zu::video::IVideoDriver* m_driver;
    zu::video::IShaderConstantSetCallBack* m_callback;
    zu::video::IMaterialRenderer* m_baseRenderer;
    int32_t m_userData;
};

} // namespace kelvo::video
