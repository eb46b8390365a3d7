// CVideoDirectX9: the Direct3D 9 driver. "d3d9.dll" is loaded at run time; it
// draws what the shared driver base batches and sets up, through the
// fixed-function pipeline, managed textures and meshes, and default-pool
// render targets that are recreated around every device reset.
#pragma once

#include "video/null/CVideoNull.h"

#include <d3d9.h>

#include <map>
#include <vector>

namespace kelvo::video
{

class CDirectX9Texture;

class CVideoDirectX9 : public CVideoNull
{
  public:
    // Makes the device on the window. When that fails the driver exists but
    // has no device (isValid is false) and must be dropped unused.
    CVideoDirectX9(zu::io::IFileSystem* fileSystem, HWND window, SDimension2i screenSize,
                   bool fullscreen, bool stencil, bool vsync);
    ~CVideoDirectX9() override;

    // The driver for a start-up: null, with the reason logged, when no
    // device could be made, so that the caller stops instead of running a
    // driver that cannot draw.
    static CVideoDirectX9* create(zu::io::IFileSystem* fileSystem, HWND window,
                                  SDimension2i screenSize, bool fullscreen, bool stencil,
                                  bool vsync);
    // Tests put an object of their own in front of the Direct3D object
    // before the device is made (null: none); it takes over the reference
    // it is given and returns the object to use.
    using Direct3DHook = IDirect3D9* (*)(IDirect3D9* real);
    static void setDirect3DHook(Direct3DHook hook);

    bool isValid() const { return m_device != nullptr; }
    IDirect3DDevice9* getDevice() const { return m_device; }
    // Puts another object in front of the device (a test's wrapper that
    // forwards to it); the driver takes over the reference.
    void replaceDevice(IDirect3DDevice9* device);
    bool isDeviceLost() const { return m_deviceLost; }

    bool beginScene(bool backBuffer, bool zBuffer, uint32_t color, bool clear = true) override;
    void clearScreen(bool zBuffer, uint32_t color) override;
    bool endScene() override;
    bool hasFeature(int feature) const override;

    void setTransform(zu::video::ETransformState state, const zu::core::CMatrix4& matrix) override;
    void prepare3DStates() override;
    void prepare2DStates(bool alpha, bool texture, bool alphaChannel, bool filter) override;
    zu::video::Mesh* createMesh(zu::video::EPrimitiveType type,
                                const zu::video::EVertexFeature* format,
                                uint16_t vertexCapacity) override;
    void drawRenderState(zu::video::RenderState& renderState) override;
    bool setRenderTarget(zu::video::ITexture* texture) override;
    void setViewPort(const zu::video::SRecti& rect) override;
    void setScissor(const zu::video::SRecti* rect) override;

    void setFog(uint32_t color, bool linear, float start, float end, float density, bool pixelFog,
                bool rangeFog) override;
    void clearLights() override;
    void addLight(const zu::video::SLight& light) override;
    void setAmbientColor(uint32_t color) override;
    int32_t getMaxLightCount() const override { return int32_t(m_caps.MaxActiveLights); }
    uint32_t getMaxPrimitiveCount() const override { return m_caps.MaxPrimitiveCount; }
    void setTextureFlag(uint32_t flag, bool on) override;

    void onResize(SDimension2i size) override;
    bool switchFullscreen(bool on, SDimension2i size) override;
    zu::EDriverType getDriverType() const override { return zu::EDT_DIRECT3D9; }

    // The shared material states.
    void setBasicRenderStates(const zu::video::MaterialState& material,
                              const zu::video::MaterialState& lastMaterial,
                              bool resetAllRenderStates) override;
    // Register constants go to the device; named ones to the current
    // material when it is an HLSL or Cg material (true and nothing set
    // otherwise).
    void setVertexShaderConstant(const float* data, int32_t startRegister, int32_t count) override;
    void setPixelShaderConstant(const float* data, int32_t startRegister, int32_t count) override;
    bool setVertexShaderConstant(const char* name, const float* floats, int32_t count) override;
    bool setPixelShaderConstant(const char* name, const float* floats, int32_t count) override;
    // A named constant through the current material's renderer: false
    // with a log line for a fixed-function material.
    bool setNamedVertexConstant(const char* name, const float* floats, int32_t count);
    bool setNamedPixelConstant(const char* name, const float* floats, int32_t count);

    // Cg materials through the services; the high-level and program
    // variants of the services are refused as on the null driver. HLSL and
    // assembly materials come from the driver's own operations below.
    int32_t createCgMaterial(const char* vertexText, const CString& vertexEntry,
                             const char* pixelText, const CString& pixelEntry,
                             zu::video::IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                             bool compiled, int32_t userData) override;
    // HLSL programs compiled through D3DX; -1 (logged) without its compiler.
    int32_t createHLSLMaterial(const CString& vertexText, const CString& vertexEntry,
                               const CString& vertexTarget, const CString& pixelText,
                               const CString& pixelEntry, const CString& pixelTarget,
                               zu::video::IShaderConstantSetCallBack* callback,
                               int32_t baseMaterial, int32_t userData);
    // Assembly vertex and pixel shaders: texts assembled through D3DX, or
    // precompiled token streams.
    int32_t createAssemblyMaterial(const CString& vertexText, const CString& pixelText,
                                   zu::video::IShaderConstantSetCallBack* callback,
                                   int32_t baseMaterial, int32_t userData);

    // For the textures and renderers.
    bool canAutoGenerateMipMaps() const;
    const D3DMATRIX* getSphereMapMatrix() const { return &m_sphereMap; }
    const D3DMATRIX* getIdentityMatrix() const { return &m_identity; }
    // Fills the lower levels from the top one ("D3DXFilterTexture", looked
    // up in the D3DX library on first use).
    static bool filterTexture(IDirect3DTexture9* texture);

  protected:
    zu::video::ITexture* createApiTexture(const CString& name, zu::video::IImage* image) override;
    zu::video::ITexture* createTargetTexture(const CString& name, SDimension2i size,
                                             zu::video::ECOLOR_FORMAT format) override;
    bool readPixels(zu::video::ITexture* texture, std::vector<uint8_t>& rgbRows,
                    SDimension2i& size) override;

  private:
    bool fillPresentParameters(bool fullscreen, SDimension2i size);
    bool createDevice(HWND window);
    bool resetDevice();
    void setInitialStates();
    void registerRenderers();
    void setTarget(CDirectX9Texture* target);
    IDirect3DVertexDeclaration9* declarationFor(const zu::video::EVertexFeature* format);
    void releaseDeclarations();
    bool readSurface(IDirect3DSurface9* surface, std::vector<uint8_t>& rgbRows, SDimension2i& size);
    // Hands the device to the Cg runtime once; false without it.
    bool handDeviceToCg(const SCgFunctions* cg);
    // Whether the current material's renderer sets named constants itself.
    bool hasNamedConstants() const;
    bool setNamedConstant(bool vertex, const char* name, const float* floats, int32_t count);

    HMODULE m_library = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
    HWND m_window = nullptr;
    D3DCAPS9 m_caps = {};
    D3DPRESENT_PARAMETERS m_present = {};
    bool m_vsync = false;
    bool m_stencil = false;
    bool m_deviceLost = false;
    std::map<std::vector<int32_t>, IDirect3DVertexDeclaration9*> m_declarations;
    IDirect3DVertexDeclaration9* m_lastDeclaration = nullptr;
    int32_t m_lastLightIndex = -1;
    D3DMATRIX m_sphereMap;
    D3DMATRIX m_identity;
    IDirect3DSurface9* m_backBuffer = nullptr;
    // The Cg runtime that was given the device.
    const SCgFunctions* m_cgRuntime = nullptr;
};

} // namespace kelvo::video
