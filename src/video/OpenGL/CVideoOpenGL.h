// CVideoOpenGL: the OpenGL driver. It draws what the shared driver base
// batches and sets up, through fixed-function GL plus buffer objects and
// frame-buffer render targets. Everything else (caches, the 2D batch and its
// flush rules, screenshot naming) is the base's.
#pragma once

#include "video/null/CVideoNull.h"

#include <functional>

struct SDL_Window;

namespace kelvo::video
{

class COpenGLContext;

class CVideoOpenGL : public CVideoNull
{
  public:
    // Shows the finished back buffer; the device's buffer swap. Its result is
    // what endScene returns.
    using PresentFunction = std::function<bool()>;

    // Creates the context on the window. When that fails the driver exists
    // but has no context (isValid is false) and must be dropped unused.
    CVideoOpenGL(zu::io::IFileSystem* fileSystem, PresentFunction present, SDL_Window* window,
                 SDimension2i screenSize, bool fullscreen, bool stencil, bool vsync);
    ~CVideoOpenGL() override;

    bool isValid() const;

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
    int32_t getMaxLightCount() const override { return m_maxLights; }

    void onResize(SDimension2i size) override;
    bool switchFullscreen(bool on, SDimension2i size) override;
    zu::EDriverType getDriverType() const override { return zu::EDT_OPENGL; }

    // A screenshot of the back buffer is taken from the finished frame, just
    // before it is presented; one of a texture is taken at once.
    bool writeScreenshot(const CString& folder, const CString& name,
                         zu::video::ITexture* texture) override;

    // The shared material states (colours, fill mode, depth, culling, fog).
    void setBasicRenderStates(const zu::video::MaterialState& material,
                              const zu::video::MaterialState& lastMaterial,
                              bool resetAllRenderStates) override;
    // Register constants are local parameters of the bound ARB programs;
    // named constants are the GLSL and Cg renderers' own services.
    void setVertexShaderConstant(const float* data, int32_t startRegister, int32_t count) override;
    void setPixelShaderConstant(const float* data, int32_t startRegister, int32_t count) override;
    bool setVertexShaderConstant(const char* name, const float* floats, int32_t count) override;
    bool setPixelShaderConstant(const char* name, const float* floats, int32_t count) override;

    // Shader materials: GLSL, ARB programs and Cg (when its runtime is there).
    int32_t createHighLevelMaterial(const CString& vertexText, const CString& vertexEntry,
                                    const CString& vertexTarget, const CString& pixelText,
                                    const CString& pixelEntry, const CString& pixelTarget,
                                    zu::video::IShaderConstantSetCallBack* callback,
                                    int32_t baseMaterial, int32_t userData) override;
    int32_t createProgramMaterial(const CString& vertexText, const CString& pixelText,
                                  zu::video::IShaderConstantSetCallBack* callback,
                                  int32_t baseMaterial, int32_t userData) override;
    int32_t createCgMaterial(const char* vertexText, const CString& vertexEntry,
                             const char* pixelText, const CString& pixelEntry,
                             zu::video::IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                             bool compiled, int32_t userData) override;

  protected:
    zu::video::ITexture* createApiTexture(const CString& name, zu::video::IImage* image) override;
    zu::video::ITexture* createTargetTexture(const CString& name, SDimension2i size,
                                             zu::video::ECOLOR_FORMAT format) override;
    bool readPixels(zu::video::ITexture* texture, std::vector<uint8_t>& rgbRows,
                    SDimension2i& size) override;

  private:
    // Makes the texture (or none, the back buffer) the target of drawing.
    void bindTarget(zu::video::ITexture* texture);
    void loadProjection();
    void setInitialStates();
    void registerRenderers();
    // Sizes past the implementation's limit would give an empty texture.
    bool fitsTextureSize(SDimension2i size, const CString& name) const;

    PresentFunction m_present;
    COpenGLContext* m_context = nullptr;
    int32_t m_lastLightIndex = -1;
    int32_t m_maxLights = 8;
    int32_t m_maxTextureSize = 1024;
    zu::core::CMatrix4 m_projectionCopy;
    bool m_resetAllStates = true;
    bool m_stencil = false;
    bool m_screenshotPending = false;
    CString m_screenshotFolder;
    CString m_screenshotName;
};

} // namespace kelvo::video
