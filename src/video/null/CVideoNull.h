// CVideoNull: the shared base of every driver, and by itself the "null"
// driver that keeps all state and draws nothing. It owns everything that does
// not touch a graphics API: the texture and package caches, image loading,
// colour keys, the material-renderer registry, material and transform state,
// the frame-rate counter, screen versus render size and the 2D mapping, the
// 2D batch and all 2D drawing, and screenshot naming and writing.
//
// A drawing driver derives from it and overrides a small set of hooks:
//   createMesh, drawRenderState, prepare2DStates, prepare3DStates (geometry),
//   createApiTexture, createTargetTexture, readPixels (textures, screenshots),
//   beginScene, clearScreen, endScene (calling this endScene first),
//   setTransform, setRenderTarget, setViewPort, setScissor, setFog, lights,
//   onResize, switchFullscreen, hasFeature, getName, getDriverType,
//   setBasicRenderStates; and replaces the placeholder material renderers
//   with removeAllMaterialRenderers and addRenderer.
// Everything else, the batch and its flush rules included, stays here.
//
// The driver is also the factory of shader materials (CVideoNullShaders.cpp):
// the file and stream variants of the creation chain are shared, and a
// drawing driver overrides the three text variants it supports.
#pragma once

#include "video/IGPUProgrammingServices.h"
#include "video/IMaterialRendererServices.h"
#include "video/IVideoDriver.h"
#include "video/null/SCgFunctions.h"
#include "video/RenderState.h"
#include "video/SLight.h"

#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace zu::io
{
class IFileSystem;
}

namespace kelvo::video
{

class CVideoNull : public zu::video::IVideoDriver,
                   public zu::video::IMaterialRendererServices,
                   public zu::video::IGPUProgrammingServices
{
  public:
    using CString = zu::core::CString;
    using SDimension2i = zu::core::SDimension2i;

    // The clocks the frame-rate counter and the screenshot names read; tests
    // put their own in.
    using MillisecondClock = uint32_t (*)();
    using SecondClock = int64_t (*)();

    // Batch limits: flush first when the batch index count exceeds these.
    static constexpr uint32_t BATCH_QUAD_LIMIT = 16378;
    static constexpr uint32_t BATCH_LINE_LIMIT = 16380;
    static constexpr uint32_t BATCH_VERTEX_LIMIT = 16382;

    CVideoNull(zu::io::IFileSystem* fileSystem, SDimension2i screenSize);
    ~CVideoNull() override;

    // Frame.
    bool beginScene(bool backBuffer, bool zBuffer, uint32_t color, bool clear = true) override;
    void clearScreen(bool, uint32_t) override {}
    bool endScene() override;
    bool hasFeature(int) const override { return false; }

    // Transforms, states, materials.
    void setTransform(zu::video::ETransformState state, const zu::core::CMatrix4& matrix) override;
    const zu::core::CMatrix4& getTransform(zu::video::ETransformState state) const override;
    void prepare3DStates() override {}
    void prepare2DStates(bool, bool, bool, bool) override {}
    void setTexture(int stage, zu::video::ITexture* texture) override;
    void setMaterial(const zu::video::MaterialState& material) override;
    const zu::video::MaterialState& getMaterial() const override { return m_material; }
    void setForceWireframe(bool on) override { m_forceWireframe = on; }
    void setUseMaterialFor2D(bool on) override;
    void setForcePointSampling(bool on) override;
    void flush2D() override;

    // Texture cache.
    zu::video::ITexture* getTexture(zu::io::IReadFile* file) override;
    zu::video::ITexture* getTexture(const CString& name) override;
    zu::video::ITexture* findTexture(const CString& name) const override;
    zu::video::ITexture* addTexture(zu::video::IImage* image, const CString& name) override;
    zu::video::ITexture* addTexture(SDimension2i size, const CString& name,
                                    zu::video::ECOLOR_FORMAT format, bool renderTarget) override;
    void removeTexture(const CString& name) override;
    void removeTexture(zu::video::ITexture* texture) override;
    void removeAllTextures() override;
    int32_t getTextureCount() const override { return int32_t(m_textures.size()); }
    void setTextureFlag(uint32_t flag, bool on) override;
    bool getTextureFlag(uint32_t flag) const override { return (m_textureFlags & flag) != 0; }
    void applyColorKey(zu::video::ITexture* texture, zu::video::SPosition2i pixel) override;
    void applyColorKey(zu::video::ITexture* texture, uint32_t color) override;

    // Images.
    zu::video::IImage* createImage(zu::io::IReadFile* file) override;
    zu::video::IImage* createImage(const CString& path) override;
    zu::video::IImage* wrapImageData(zu::video::ECOLOR_FORMAT format, SDimension2i size,
                                     uint8_t* data) override;
    void addImageLoader(zu::video::IImageLoader* loader) override;
    int32_t getImageLoaderCount() const override { return int32_t(m_imageLoaders.size()); }

    // Package caches.
    zu::video::ISpritePackage* getSpritePackage(const CString& path, bool keepStates,
                                                bool logErrors) override;
    zu::video::ISpritePackage* findSpritePackage(const CString& path) const override;
    void removeSpritePackage(const CString& path) override;
    void removeAllSpritePackages() override;
    zu::video::IParticlePackage* getParticlePackage(const CString& path) override;
    zu::video::IParticlePackage* findParticlePackage(const CString& path) const override;
    void removeParticlePackage(const CString& path) override;
    void removeAllParticlePackages() override;
    void removeAllResources() override;

    // Meshes and render targets. The null driver's meshes live in memory.
    zu::video::Mesh* createMesh(zu::video::EPrimitiveType type,
                                const zu::video::EVertexFeature* format,
                                uint16_t vertexCapacity) override;
    void drawRenderState(zu::video::RenderState&) override {}
    bool setRenderTarget(zu::video::ITexture* texture) override;
    void setViewPort(const zu::video::SRecti& rect) override { m_viewPort = rect; }
    const zu::video::SRecti& getViewPort() const override { return m_viewPort; }
    void setScissor(const zu::video::SRecti*) override {}

    // 2D drawing.
    bool drawImageQuad(zu::video::ITexture* texture, zu::video::SVector2f topLeft,
                       zu::video::SVector2f topRight, zu::video::SVector2f bottomLeft,
                       zu::video::SVector2f bottomRight, const zu::video::SRecti& sourceRect,
                       const uint32_t colors[4], bool useAlphaChannel, bool filter) override;
    void drawImage(zu::video::ITexture* texture, zu::video::SPosition2i position,
                   const zu::video::SRecti& sourceRect, const zu::video::SRecti* clipRect,
                   uint32_t color, bool useAlphaChannel) override;
    void drawImage(zu::video::ITexture* texture, zu::video::SPosition2i position) override;
    void drawImageScaled(zu::video::ITexture* texture, zu::video::SVector2f position,
                         const zu::video::SRecti& sourceRect, float scale, uint32_t color,
                         bool useAlphaChannel) override;
    void drawShaderQuad(const zu::video::SRecti& destRect, const zu::video::SRecti& sourceRect,
                        SDimension2i sourceSize, const zu::video::SRecti* secondRect,
                        const SDimension2i* secondSize) override;
    void drawRectangle(uint32_t color, const zu::video::SRecti& rect,
                       const zu::video::SRecti* clipRect) override;
    void drawVertexBatch(zu::video::ITexture* texture, const zu::video::SVector2f* positions,
                         const zu::video::SVector2f* texCoords, const uint32_t* colors,
                         const uint32_t* indices, int32_t vertexCount, int32_t indexCount) override;
    void drawLine(zu::video::SPosition2i start, zu::video::SPosition2i end,
                  uint32_t color) override;
    void draw2DMesh(zu::video::RenderState& renderState,
                    const zu::core::CMatrix4& transform) override;
    void drawBezier(zu::video::SVector2f start, zu::video::SVector2f end,
                    zu::video::SVector2f startTangent, zu::video::SVector2f endTangent,
                    float segments, uint32_t color) override;
    void drawHermite(zu::video::SVector2f start, zu::video::SVector2f end,
                     zu::video::SVector2f startTangent, zu::video::SVector2f endTangent,
                     float segments, uint32_t color) override;
    void drawShaderRect(int32_t materialType, const zu::video::SRecti& destRect,
                        const zu::video::SRecti* sourceRect, const zu::video::SRecti* secondRect,
                        int secondStage) override;
    void drawShaderFullscreen(int32_t materialType) override;

    // 3D primitives.
    void drawMesh(zu::video::Mesh* mesh) override;
    void drawTriangleList(const zu::video::S3DVertex* vertices, int32_t vertexCount,
                          const uint16_t* indices, int32_t triangleCount) override;
    void drawLine3D(zu::video::SVector3f start, zu::video::SVector3f end, uint32_t color) override;
    void drawTriangle3D(const zu::video::STriangle3f& triangle, uint32_t color) override;
    void drawBox3D(const zu::video::SBox3f& box, uint32_t color) override;

    // Fog and lights.
    void setFog(uint32_t color, bool linear, float start, float end, float density, bool pixelFog,
                bool rangeFog) override;
    void clearLights() override { m_lights.clear(); }
    void addLight(const zu::video::SLight& light) override { m_lights.push_back(light); }
    void setAmbientColor(uint32_t) override {}
    int32_t getMaxLightCount() const override { return 0; }
    int32_t getLightCount() const override { return int32_t(m_lights.size()); }
    const zu::video::SLight* getLight(int32_t index) const override;

    // Sizes.
    SDimension2i getScreenSize() const override { return m_screenSize; }
    SDimension2i getRenderSize() const override { return m_renderSize; }
    void onResize(SDimension2i size) override;
    void setRenderScreenSize(int32_t width, int32_t height) override;
    void set2DOrigin(int32_t x, int32_t y) override;
    bool isFullscreen() const override { return m_fullscreen; }
    bool switchFullscreen(bool on, SDimension2i size) override;

    // Material renderers.
    int32_t addRenderer(zu::video::IMaterialRenderer* renderer) override;
    zu::video::IMaterialRenderer* getRenderer(int32_t index) const override;
    int32_t getRendererCount() const override { return int32_t(m_materialRenderers.size()); }
    zu::video::IGPUProgrammingServices* getShaderServices() override { return this; }

    bool writeScreenshot(const CString& folder, const CString& name,
                         zu::video::ITexture* texture) override;

    int getFPS() const override { return m_fps; }
    uint32_t getPrimitivesDrawn() const override { return m_primitivesDrawn; }
    uint32_t getMaxPrimitiveCount() const override { return 65535; }
    zu::EDriverType getDriverType() const override { return zu::EDT_NULL; }
    const char* getName() const override { return m_name.c_str(); }
    zu::video::SExposedVideoData getNativeHandles() const override { return m_nativeHandles; }

    // Material renderer services.
    void setBasicRenderStates(const zu::video::MaterialState&, const zu::video::MaterialState&,
                              bool) override
    {
    }
    zu::video::IVideoDriver* getVideoDriver() override { return this; }
    // The register forms set nothing here; the named forms report success.
    void setVertexShaderConstant(const float*, int32_t, int32_t) override {}
    void setPixelShaderConstant(const float*, int32_t, int32_t) override {}
    bool setVertexShaderConstant(const char*, const float*, int32_t) override { return true; }
    bool setPixelShaderConstant(const char*, const float*, int32_t) override { return true; }

    // Shader materials. The null driver refuses the text variants with a
    // log line; the file and stream variants are the same on every driver.
    int32_t createHighLevelMaterial(const CString& vertexText, const CString& vertexEntry,
                                    const CString& vertexTarget, const CString& pixelText,
                                    const CString& pixelEntry, const CString& pixelTarget,
                                    zu::video::IShaderConstantSetCallBack* callback,
                                    int32_t baseMaterial, int32_t userData) override;
    int32_t
    createHighLevelMaterialFromStreams(zu::io::IReadFile* vertexFile, const CString& vertexEntry,
                                       const CString& vertexTarget, zu::io::IReadFile* pixelFile,
                                       const CString& pixelEntry, const CString& pixelTarget,
                                       zu::video::IShaderConstantSetCallBack* callback,
                                       int32_t baseMaterial, int32_t userData) override;
    int32_t createHighLevelMaterialFromFiles(const CString& vertexName, const CString& vertexEntry,
                                             const CString& vertexTarget, const CString& pixelName,
                                             const CString& pixelEntry, const CString& pixelTarget,
                                             zu::video::IShaderConstantSetCallBack* callback,
                                             int32_t baseMaterial, int32_t userData) override;
    int32_t createProgramMaterial(const CString& vertexText, const CString& pixelText,
                                  zu::video::IShaderConstantSetCallBack* callback,
                                  int32_t baseMaterial, int32_t userData) override;
    int32_t createProgramMaterialFromFiles(const CString& vertexName, const CString& pixelName,
                                           zu::video::IShaderConstantSetCallBack* callback,
                                           int32_t baseMaterial, int32_t userData) override;
    int32_t createProgramMaterialFromStreams(zu::io::IReadFile* vertexFile,
                                             zu::io::IReadFile* pixelFile,
                                             zu::video::IShaderConstantSetCallBack* callback,
                                             int32_t baseMaterial, int32_t userData) override;
    int32_t createCgMaterial(const char* vertexText, const CString& vertexEntry,
                             const char* pixelText, const CString& pixelEntry,
                             zu::video::IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                             bool compiled, int32_t userData) override;
    int32_t createCgMaterialFromStreams(zu::io::IReadFile* vertexFile, const CString& vertexEntry,
                                        zu::io::IReadFile* pixelFile, const CString& pixelEntry,
                                        zu::video::IShaderConstantSetCallBack* callback,
                                        int32_t baseMaterial, bool compiled,
                                        int32_t userData) override;
    int32_t createCgMaterialFromFiles(const CString& vertexName, const CString& vertexEntry,
                                      const CString& pixelName, const CString& pixelEntry,
                                      zu::video::IShaderConstantSetCallBack* callback,
                                      int32_t baseMaterial, bool compiled,
                                      int32_t userData) override;

    // Introspection of the 2D mapping and batch, and the clocks.
    float getNdcScaleX() const { return m_ndcScaleX; }
    float getNdcScaleY() const { return m_ndcScaleY; }
    int32_t getNdcOffsetX() const { return m_ndcOffsetX; }
    int32_t getNdcOffsetY() const { return m_ndcOffsetY; }
    float getTexelInset() const { return m_texelInset; }
    uint32_t getTextureCreationFlags() const { return m_textureFlags; }
    const zu::video::MaterialState& getLastMaterial() const { return m_lastMaterial; }
    const zu::video::RenderState& getBatchState() const { return m_batchState; }
    bool getBatchAlphaChannel() const { return m_batchAlphaChannel; }
    zu::video::ITexture* getRenderTarget() const { return m_renderTarget; }
    void setClocks(MillisecondClock milliseconds, SecondClock seconds);
    // Maps a point in render pixels to clip space (every 2D vertex passes here).
    zu::video::SVector2f map2D(float x, float y) const
    {
        return {(x + float(m_ndcOffsetX)) * m_ndcScaleX, (float(m_ndcOffsetY) - y) * m_ndcScaleY};
    }

  protected:
    // A texture made from an image; the null driver keeps a pixel copy.
    virtual zu::video::ITexture* createApiTexture(const CString& name, zu::video::IImage* image);
    // A render-target texture; the null driver makes a blank A8R8G8B8 one.
    virtual zu::video::ITexture* createTargetTexture(const CString& name, SDimension2i size,
                                                     zu::video::ECOLOR_FORMAT format);
    // Package objects: a CSpritePackage and a CParticlePackage.
    virtual zu::video::ISpritePackage* createSpritePackage(bool keepStates);
    virtual zu::video::IParticlePackage* createParticlePackage();
    // The pixels of a texture, or of the back buffer for none, as RGB rows top
    // first. The null driver reads textures and has no back buffer.
    virtual bool readPixels(zu::video::ITexture* texture, std::vector<uint8_t>& rgbRows,
                            SDimension2i& size);

    // Binds the current material's renderer, unbinding the last one when the
    // type changed (the drivers' 3D state setup).
    void switchMaterialRenderer(bool resetAllRenderStates);
    // Drops the registered renderers, so a driver can register its own.
    void removeAllMaterialRenderers();
    // Lets go of the 2D batch's texture and mesh, without drawing it (at
    // shutdown, while a driver's context still exists).
    void releaseBatch();
    // Draws the pending batch and starts one with these settings.
    void flushBatch(zu::video::ITexture* texture, bool alphaChannel, bool filter);
    // Counts the primitives and hands the render state to drawRenderState.
    void submit(zu::video::RenderState& renderState);
    // The type a material draws with: itself when it has a renderer, else the
    // solid type (logged once per type), or -1 when there are no renderers.
    int32_t resolveMaterialType(int32_t type);
    // Registers a renderer whose programs were built and drops the creator's
    // reference: a failed one is destroyed at once. Returns the type or -1.
    int32_t registerShaderRenderer(zu::video::IMaterialRenderer* renderer, bool built);
    // False, with a log line, when a material has neither program text.
    static bool hasProgramText(bool vertex, bool pixel);
    // The driver's Cg context, made on first use; null without the runtime.
    CGcontext getCgContext(const SCgFunctions* cg);
    // The cached textures by name (a driver recreates its targets from it).
    const std::map<CString, zu::video::ITexture*>& getTextureCache() const { return m_textures; }
    // Writes the rows as the next free screenshot name.
    bool writeScreenshotFile(const CString& folder, const CString& name, const uint8_t* rgbRows,
                             SDimension2i size);

    CString m_name = "NullDevice";
    zu::io::IFileSystem* m_fileSystem;
    SDimension2i m_renderSize;
    SDimension2i m_screenSize;
    zu::video::SRecti m_viewPort;
    zu::video::ITexture* m_renderTarget = nullptr;
    zu::video::ITexture* m_currentTextures[zu::video::MATERIAL_MAX_TEXTURES] = {nullptr, nullptr};
    int32_t m_renderMode = 0;
    zu::core::CMatrix4 m_matrices[zu::video::ETS_COUNT];
    bool m_transformChanged = true;
    bool m_fullscreen = false;
    bool m_forceWireframe = false;
    bool m_useMaterialFor2D = false;
    bool m_forcePointSampling = false;
    zu::video::MaterialState m_material;
    zu::video::MaterialState m_lastMaterial;
    bool m_resetRenderStates = true;
    bool m_materialDirty2D = false;
    std::vector<zu::video::IMaterialRenderer*> m_materialRenderers;
    std::vector<zu::video::SLight> m_lights;
    zu::video::SExposedVideoData m_nativeHandles;
    // Fog as last set.
    bool m_fogLinear = true;
    float m_fogStart = 50.f;
    float m_fogEnd = 100.f;
    float m_fogDensity = 0.01f;
    bool m_pixelFog = false;
    bool m_rangeFog = false;
    uint32_t m_fogColor = 0x00FFFFFF;

  private:
    void compute2DMapping();
    bool addToCache(const CString& name, zu::video::ITexture* texture);
    // Clears every state pointer that still names a texture about to go.
    void forgetTexture(zu::video::ITexture* texture);
    zu::video::Mesh* batchMesh();
    void setBatchTexture(zu::video::ITexture* texture);
    void appendQuad(const zu::video::SVector2f corners[4], const uint32_t colors[4],
                    const zu::video::SVector2f uv[4]);
    void drawCurve(bool bezier, zu::video::SVector2f start, zu::video::SVector2f end,
                   zu::video::SVector2f startTangent, zu::video::SVector2f endTangent,
                   float segments, uint32_t color);

    float m_texelInset = 0.5f;
    zu::video::Mesh* m_batchMesh = nullptr;
    zu::video::RenderState m_batchState;
    bool m_batchAlphaChannel = false;
    float m_ndcScaleX = 1.f;
    float m_ndcScaleY = 1.f;
    int32_t m_ndcOffsetX = 0;
    int32_t m_ndcOffsetY = 0;
    int32_t m_originX = 0;
    int32_t m_originY = 0;
    uint32_t m_textureFlags = 0;
    std::map<CString, zu::video::ITexture*> m_textures;
    // Names a texture was asked for by, when its cache name (its file's) differs.
    std::map<CString, CString> m_textureAliases;
    // Names whose loading failed and was logged: a game asking every frame
    // gets one line, not one a frame (they are still tried each time).
    std::set<CString> m_reportedFailures;
    std::map<CString, zu::video::ISpritePackage*> m_spritePackages;
    std::map<CString, zu::video::IParticlePackage*> m_particlePackages;
    std::vector<zu::video::IImageLoader*> m_imageLoaders;
    int m_fps = 0;
    uint32_t m_lastFpsTime = 0;
    uint32_t m_framesCounted = 100;
    uint32_t m_primitivesDrawn = 0;
    // Material types already reported as having no renderer.
    std::set<int32_t> m_reportedMaterialTypes;
    // Second stages a shader rectangle found empty, logged once each.
    std::set<int32_t> m_reportedEmptyStages;
    MillisecondClock m_millisecondClock;
    SecondClock m_secondClock;
    // The Cg context and the runtime that made it.
    CGcontext m_cgContext = nullptr;
    const SCgFunctions* m_cgContextRuntime = nullptr;
};

} // namespace kelvo::video
