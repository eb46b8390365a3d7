// IVideoDriver: the drawing interface, one per device. 2D coordinates are
// pixels of the render size, origin at the top-left corner, y down. Colours are
// 32-bit ARGB. Textures handed out by the cache are borrowed: the cache keeps
// the one reference, callers who keep a texture grab their own.
#pragma once

#include "core/CMatrix4.h"
#include "core/CString.h"
#include "core/IUnknown.h"
#include "core/SDimension.h"
#include "video/EDriverType.h"
#include "video/IImage.h"
#include "video/MaterialState.h"
#include "video/Mesh.h"
#include "video/SGeometry.h"

namespace zu::io
{
class IReadFile;
}

namespace zu::video
{

class ITexture;
class IImageLoader;
class IMaterialRenderer;
class ISpritePackage;
class IParticlePackage;
class IGPUProgrammingServices;
class RenderState;
struct SLight;

enum ETransformState
{
    ETS_VIEW = 0,
    ETS_WORLD = 1,
    ETS_PROJECTION = 2,
    ETS_COUNT = 3
};

// Texture creation flags. 1, 2, 4 and 8 are mutually exclusive depth
// preferences; 16 asks for mip-maps.
enum ETextureCreationFlag : uint32_t
{
    ETCF_ALWAYS_16_BIT = 1,
    ETCF_ALWAYS_32_BIT = 2,
    ETCF_OPTIMIZED_FOR_QUALITY = 4,
    ETCF_OPTIMIZED_FOR_SPEED = 8,
    ETCF_CREATE_MIP_MAPS = 16
};

// The window-system handles a driver works on, filled by the drivers that
// have them.
struct SExposedVideoData
{
    void* handles[3] = {nullptr, nullptr, nullptr};
};

class IVideoDriver : public virtual IUnknown
{
  public:
    // Frame.
    virtual bool beginScene(bool backBuffer, bool zBuffer, uint32_t color, bool clear = true) = 0;
    virtual void clearScreen(bool zBuffer, uint32_t color) = 0;
    virtual bool endScene() = 0;
    virtual bool hasFeature(int feature) const = 0;

    // Transforms, states, materials.
    virtual void setTransform(ETransformState state, const core::CMatrix4& matrix) = 0;
    virtual const core::CMatrix4& getTransform(ETransformState state) const = 0;
    virtual void prepare3DStates() = 0;
    virtual void prepare2DStates(bool alpha, bool texture, bool alphaChannel, bool filter) = 0;
    virtual void setTexture(int stage, ITexture* texture) = 0;
    virtual void setMaterial(const MaterialState& material) = 0;
    virtual const MaterialState& getMaterial() const = 0;
    virtual void setForceWireframe(bool on) = 0;
    virtual void setUseMaterialFor2D(bool on) = 0;
    virtual void setForcePointSampling(bool on) = 0;
    // Hands the pending 2D batch to the graphics API.
    virtual void flush2D() = 0;

    // Texture cache. Every failure returns null and changes nothing.
    virtual ITexture* getTexture(io::IReadFile* file) = 0;
    virtual ITexture* getTexture(const core::CString& name) = 0;
    virtual ITexture* findTexture(const core::CString& name) const = 0;
    virtual ITexture* addTexture(IImage* image, const core::CString& name) = 0;
    virtual ITexture* addTexture(core::SDimension2i size, const core::CString& name,
                                 ECOLOR_FORMAT format, bool renderTarget) = 0;
    virtual void removeTexture(const core::CString& name) = 0;
    virtual void removeTexture(ITexture* texture) = 0;
    virtual void removeAllTextures() = 0;
    virtual int32_t getTextureCount() const = 0;
    virtual void setTextureFlag(uint32_t flag, bool on) = 0;
    virtual bool getTextureFlag(uint32_t flag) const = 0;
    virtual void applyColorKey(ITexture* texture, SPosition2i pixel) = 0;
    virtual void applyColorKey(ITexture* texture, uint32_t color) = 0;

    // Images.
    virtual IImage* createImage(io::IReadFile* file) = 0;
    virtual IImage* createImage(const core::CString& path) = 0;
    // An image over memory allocated with new uint8_t[]; the image frees it.
    virtual IImage* wrapImageData(ECOLOR_FORMAT format, core::SDimension2i size, uint8_t* data) = 0;
    virtual void addImageLoader(IImageLoader* loader) = 0;
    virtual int32_t getImageLoaderCount() const = 0;

    // Package caches.
    virtual ISpritePackage* getSpritePackage(const core::CString& path, bool keepStates,
                                             bool logErrors) = 0;
    virtual ISpritePackage* findSpritePackage(const core::CString& path) const = 0;
    virtual void removeSpritePackage(const core::CString& path) = 0;
    virtual void removeAllSpritePackages() = 0;
    virtual IParticlePackage* getParticlePackage(const core::CString& path) = 0;
    virtual IParticlePackage* findParticlePackage(const core::CString& path) const = 0;
    virtual void removeParticlePackage(const core::CString& path) = 0;
    virtual void removeAllParticlePackages() = 0;
    virtual void removeAllResources() = 0;

    // Meshes and render targets.
    virtual Mesh* createMesh(EPrimitiveType type, const EVertexFeature* format,
                             uint16_t vertexCapacity) = 0;
    virtual void drawRenderState(RenderState& renderState) = 0;
    virtual bool setRenderTarget(ITexture* texture) = 0;
    virtual void setViewPort(const SRecti& rect) = 0;
    virtual const SRecti& getViewPort() const = 0;
    virtual void setScissor(const SRecti* rect) = 0;

    // 2D drawing. Quad colours are ordered top-left, bottom-left,
    // bottom-right, top-right. Returns true when the batch was flushed first.
    virtual bool drawImageQuad(ITexture* texture, SVector2f topLeft, SVector2f topRight,
                               SVector2f bottomLeft, SVector2f bottomRight,
                               const SRecti& sourceRect, const uint32_t colors[4],
                               bool useAlphaChannel, bool filter) = 0;
    virtual void drawImage(ITexture* texture, SPosition2i position, const SRecti& sourceRect,
                           const SRecti* clipRect, uint32_t color, bool useAlphaChannel) = 0;
    virtual void drawImage(ITexture* texture, SPosition2i position) = 0;
    virtual void drawImageScaled(ITexture* texture, SVector2f position, const SRecti& sourceRect,
                                 float scale, uint32_t color, bool useAlphaChannel) = 0;
    virtual void drawShaderQuad(const SRecti& destRect, const SRecti& sourceRect,
                                core::SDimension2i sourceSize, const SRecti* secondRect,
                                const core::SDimension2i* secondSize) = 0;
    virtual void drawRectangle(uint32_t color, const SRecti& rect, const SRecti* clipRect) = 0;
    // Indices are 32-bit entries of which the low 16 bits count.
    virtual void drawVertexBatch(ITexture* texture, const SVector2f* positions,
                                 const SVector2f* texCoords, const uint32_t* colors,
                                 const uint32_t* indices, int32_t vertexCount,
                                 int32_t indexCount) = 0;
    virtual void drawLine(SPosition2i start, SPosition2i end, uint32_t color) = 0;
    // A mesh whose 2D positions are render pixels, moved by `transform` (for
    // row vectors: a point p lands at p * transform) and drawn in 2D with the
    // render state's textures. Meshes without 2D positions draw nothing.
    virtual void draw2DMesh(RenderState& renderState, const core::CMatrix4& transform) = 0;
    virtual void drawBezier(SVector2f start, SVector2f end, SVector2f startTangent,
                            SVector2f endTangent, float segments, uint32_t color) = 0;
    virtual void drawHermite(SVector2f start, SVector2f end, SVector2f startTangent,
                             SVector2f endTangent, float segments, uint32_t color) = 0;
    // A rectangle drawn with a material (post-processing). A type without a
    // renderer draws nothing. The first texture is sampled over sourceRect
    // (destRect when null) scaled from render to screen size; with
    // secondRect, the texture of secondStage over secondRect.
    virtual void drawShaderRect(int32_t materialType, const SRecti& destRect,
                                const SRecti* sourceRect, const SRecti* secondRect,
                                int secondStage) = 0;
    virtual void drawShaderFullscreen(int32_t materialType) = 0;

    // 3D primitives; they do not flush the 2D batch.
    // A mesh in 3D with the current material and transforms.
    virtual void drawMesh(Mesh* mesh) = 0;
    virtual void drawTriangleList(const S3DVertex* vertices, int32_t vertexCount,
                                  const uint16_t* indices, int32_t triangleCount) = 0;
    virtual void drawLine3D(SVector3f start, SVector3f end, uint32_t color) = 0;
    virtual void drawTriangle3D(const STriangle3f& triangle, uint32_t color) = 0;
    virtual void drawBox3D(const SBox3f& box, uint32_t color) = 0;

    // Fog and lights.
    virtual void setFog(uint32_t color, bool linear, float start, float end, float density,
                        bool pixelFog, bool rangeFog) = 0;
    virtual void clearLights() = 0;
    virtual void addLight(const SLight& light) = 0;
    virtual void setAmbientColor(uint32_t color) = 0;
    virtual int32_t getMaxLightCount() const = 0;
    virtual int32_t getLightCount() const = 0;
    virtual const SLight* getLight(int32_t index) const = 0;

    // Sizes. The screen size is the back buffer's; the render size is the 2D
    // coordinate space, stretched over the whole back buffer.
    virtual core::SDimension2i getScreenSize() const = 0;
    virtual core::SDimension2i getRenderSize() const = 0;
    virtual void onResize(core::SDimension2i size) = 0;
    // Width 0 or less goes back to the screen size.
    virtual void setRenderScreenSize(int32_t width, int32_t height) = 0;
    virtual void set2DOrigin(int32_t x, int32_t y) = 0;
    virtual bool isFullscreen() const = 0;
    // Switches the driver's own full-screen state; false when refused.
    virtual bool switchFullscreen(bool on, core::SDimension2i size) = 0;

    // Material renderers: the index in the registry is the material type.
    virtual int32_t addRenderer(IMaterialRenderer* renderer) = 0;
    virtual IMaterialRenderer* getRenderer(int32_t index) const = 0;
    virtual int32_t getRendererCount() const = 0;
    virtual IGPUProgrammingServices* getShaderServices() = 0;

    // Writes a JPEG of the back buffer (texture null) or of a texture. An empty
    // folder is the working folder; an empty name is the default name.
    virtual bool writeScreenshot(const core::CString& folder, const core::CString& name,
                                 ITexture* texture) = 0;

    // Counters and identity.
    virtual int getFPS() const = 0;
    virtual uint32_t getPrimitivesDrawn() const = 0;
    virtual uint32_t getMaxPrimitiveCount() const = 0;
    virtual EDriverType getDriverType() const = 0;
    virtual const char* getName() const = 0;
    virtual SExposedVideoData getNativeHandles() const = 0;
};

} // namespace zu::video
