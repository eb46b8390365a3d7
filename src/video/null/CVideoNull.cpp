// The core of the shared driver base: construction and the clocks, the
// frame, material and transform state, the material-renderer registry,
// meshes and render targets, screen and render sizes with the 2D mapping,
// fog, lights and the 3D primitives. The caches, the 2D batch and the
// screenshots have files of their own (CVideoNullCaches.cpp,
// CVideoNull2D.cpp, CVideoNullScreenshot.cpp).
#include "video/null/CVideoNull.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "video/IImageLoader.h"
#include "video/IMaterialRenderer.h"
#include "video/null/CImageLoaderBmp.h"
#include "video/null/CImageLoaderJPG.h"
#include "video/null/CImageLoaderPCX.h"
#include "video/null/CImageLoaderPNG.h"
#include "video/null/CImageLoaderPSD.h"
#include "video/null/CImageLoaderTGA.h"
#include "video/null/CNullMaterialRenderer.h"
#include "video/null/CNullMesh.h"

#include <chrono>
#include <cmath>
#include <ctime>

using zu::core::ELL_ERROR;
using zu::core::SDimension2i;
using zu::core::zuLog;
using namespace zu::video;

namespace kelvo::video
{

namespace
{

uint32_t steadyMilliseconds()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int64_t unixSeconds()
{
    return int64_t(time(nullptr));
}

} // namespace

CVideoNull::CVideoNull(zu::io::IFileSystem* fileSystem, SDimension2i screenSize)
    : m_fileSystem(fileSystem), m_renderSize(screenSize), m_screenSize(screenSize),
      m_millisecondClock(steadyMilliseconds), m_secondClock(unixSeconds)
{
    if (m_fileSystem) m_fileSystem->grab();
    m_viewPort = {0, 0, screenSize.width, screenSize.height};
    compute2DMapping();
    setTextureFlag(ETCF_OPTIMIZED_FOR_SPEED, true);
    setTextureFlag(ETCF_CREATE_MIP_MAPS, false);

    IImageLoader* loaders[] = {new CImageLoaderBmp(), new CImageLoaderJPG(), new CImageLoaderTGA(),
                               new CImageLoaderPSD(), new CImageLoaderPCX(), new CImageLoaderPNG()};
    for (IImageLoader* loader : loaders)
    {
        addImageLoader(loader);
        loader->drop();
    }

    // Placeholders for the built-in types, one lightmap object for its seven
    // variants, so material numbers are the same on every driver.
    IMaterialRenderer* solid = new CNullMaterialRenderer(false);
    IMaterialRenderer* lightmap = new CNullMaterialRenderer(false);
    IMaterialRenderer* transparent = new CNullMaterialRenderer(true);
    for (int type = 0; type < EMT_BUILT_IN_COUNT; ++type)
    {
        if (type >= EMT_LIGHTMAP && type <= EMT_LIGHTMAP_LIGHTING_M4)
            addRenderer(lightmap);
        else if (type >= EMT_TRANSPARENT_ADD_COLOR)
            addRenderer(transparent);
        else
            addRenderer(solid);
    }
    solid->drop();
    lightmap->drop();
    transparent->drop();

    m_lastMaterial.MaterialType = -1;
    m_lastFpsTime = m_millisecondClock();
}

CVideoNull::~CVideoNull()
{
    releaseBatch();
    removeAllResources();
    // After the renderers, whose Cg programs live in the context.
    if (m_cgContext) m_cgContextRuntime->destroyContext(m_cgContext);
    if (m_fileSystem) m_fileSystem->drop();
}

void CVideoNull::setClocks(MillisecondClock milliseconds, SecondClock seconds)
{
    m_millisecondClock = milliseconds ? milliseconds : steadyMilliseconds;
    m_secondClock = seconds ? seconds : unixSeconds;
    m_lastFpsTime = m_millisecondClock();
}

// ---------------------------------------------------------------- frame

bool CVideoNull::beginScene(bool, bool, uint32_t, bool)
{
    batchMesh();
    m_primitivesDrawn = 0;
    return true;
}

bool CVideoNull::endScene()
{
    ++m_framesCounted;
    uint32_t now = m_millisecondClock();
    uint32_t elapsed = now - m_lastFpsTime;
    if (elapsed > 2000)
    {
        m_fps = int(double(m_framesCounted) / (double(elapsed) * 0.001));
        m_lastFpsTime = now;
        m_framesCounted = 0;
    }
    flush2D();
    return true;
}

// ---------------------------------------------------------------- states

void CVideoNull::setTransform(ETransformState state, const zu::core::CMatrix4& matrix)
{
    if (state >= 0 && state < ETS_COUNT)
    {
        m_matrices[state] = matrix;
        m_transformChanged = true;
    }
}

const zu::core::CMatrix4& CVideoNull::getTransform(ETransformState state) const
{
    return m_matrices[(state >= 0 && state < ETS_COUNT) ? state : 0];
}

void CVideoNull::setTexture(int stage, ITexture* texture)
{
    if (!ZU_CHECK(stage >= 0) || !ZU_CHECK(stage < zu::video::MATERIAL_MAX_TEXTURES)) return;
    m_currentTextures[stage] = texture;
}

void CVideoNull::setMaterial(const MaterialState& material)
{
    // A type without a renderer is kept as given; drawing resolves it.
    m_material = material;
    for (int i = 0; i < MATERIAL_MAX_TEXTURES; ++i)
        setTexture(i, material.Textures[i]);
}

void CVideoNull::setUseMaterialFor2D(bool on)
{
    if (on == m_useMaterialFor2D) return;
    flush2D();
    m_useMaterialFor2D = on;
    m_materialDirty2D = true;
}

void CVideoNull::setForcePointSampling(bool on)
{
    if (on == m_forcePointSampling) return;
    flush2D();
    m_forcePointSampling = on;
    m_texelInset = on ? 0.f : 0.5f;
}

int32_t CVideoNull::resolveMaterialType(int32_t type)
{
    if (type >= 0 && type < int32_t(m_materialRenderers.size())) return type;
    int32_t fallback = m_materialRenderers.empty() ? -1 : int32_t(EMT_SOLID);
    if (m_reportedMaterialTypes.insert(type).second)
        zuLog(ELL_ERROR, "Material type %d has no renderer; %s", type,
              fallback < 0 ? "nothing is bound" : "drawing with the solid material");
    return fallback;
}

void CVideoNull::switchMaterialRenderer(bool resetAllRenderStates)
{
    int32_t type = resolveMaterialType(m_material.MaterialType);
    int32_t last = m_lastMaterial.MaterialType;
    if (type != last && last >= 0 && last < int32_t(m_materialRenderers.size()))
        m_materialRenderers[size_t(last)]->unbind();
    if (type >= 0)
    {
        MaterialState material = m_material;
        material.MaterialType = type;
        m_materialRenderers[size_t(type)]->bind(material, m_lastMaterial, resetAllRenderStates,
                                                this);
        m_lastMaterial = material;
    }
    m_resetRenderStates = false;
}

int32_t CVideoNull::addRenderer(IMaterialRenderer* renderer)
{
    if (!ZU_CHECK(renderer)) return -1;
    renderer->grab();
    m_materialRenderers.push_back(renderer);
    return int32_t(m_materialRenderers.size()) - 1;
}

IMaterialRenderer* CVideoNull::getRenderer(int32_t index) const
{
    if (index < 0 || index >= int32_t(m_materialRenderers.size())) return nullptr;
    return m_materialRenderers[size_t(index)];
}

void CVideoNull::removeAllMaterialRenderers()
{
    // One reference per registry entry, so a renderer registered for several
    // types is released as often as it was added.
    for (IMaterialRenderer* renderer : m_materialRenderers)
        renderer->drop();
    m_materialRenderers.clear();
    m_lastMaterial.MaterialType = -1;
}

// ---------------------------------------------------------------- meshes, targets

Mesh* CVideoNull::createMesh(EPrimitiveType type, const EVertexFeature* format,
                             uint16_t vertexCapacity)
{
    return new CNullMesh(type, format, vertexCapacity);
}

bool CVideoNull::setRenderTarget(ITexture* texture)
{
    flush2D();
    m_renderTarget = texture;
    return true;
}

void CVideoNull::submit(RenderState& renderState)
{
    if (renderState.mesh) m_primitivesDrawn += renderState.mesh->getPrimitiveCount();
    // 3D state set-up lets the renderer prepare its draw; in 2D with a
    // material it is done here, so shader constants reach 2D passes too.
    if (m_useMaterialFor2D && m_renderMode != 2)
        if (IMaterialRenderer* renderer = getRenderer(m_lastMaterial.MaterialType))
            renderer->beforeDraw(this, 0);
    drawRenderState(renderState);
}

// ---------------------------------------------------------------- sizes and the 2D mapping

void CVideoNull::compute2DMapping()
{
    int32_t w = m_renderSize.width;
    int32_t h = m_renderSize.height;
    // Half the size, rounded up, without overflowing at the largest sizes.
    int32_t hw = w / 2 + (w & 1);
    int32_t hh = h / 2 + (h & 1);
    // A size of zero would divide by zero; such a mapping draws nothing useful
    // anyway, so it maps like a two-pixel screen.
    if (hw <= 0) hw = 1;
    if (hh <= 0) hh = 1;
    m_ndcScaleX = 1.f / float(hw);
    m_ndcScaleY = 1.f / float(hh);
    m_ndcOffsetX = m_originX - hw;
    m_ndcOffsetY = hh - m_originY;
}

void CVideoNull::onResize(SDimension2i size)
{
    m_renderSize = m_screenSize = size;
    compute2DMapping();
}

void CVideoNull::setRenderScreenSize(int32_t width, int32_t height)
{
    if (width > 0)
        m_renderSize = {width, height};
    else
        m_renderSize = m_screenSize;
    compute2DMapping();
}

void CVideoNull::set2DOrigin(int32_t x, int32_t y)
{
    m_originX = x;
    m_originY = y;
    compute2DMapping();
}

bool CVideoNull::switchFullscreen(bool on, SDimension2i)
{
    m_fullscreen = on;
    return true;
}

void CVideoNull::setFog(uint32_t color, bool linear, float start, float end, float density,
                        bool pixelFog, bool rangeFog)
{
    m_fogColor = color;
    m_fogLinear = linear;
    m_fogStart = start;
    m_fogEnd = end;
    m_fogDensity = density;
    m_pixelFog = pixelFog;
    m_rangeFog = rangeFog;
}

const SLight* CVideoNull::getLight(int32_t index) const
{
    if (index < 0 || index >= int32_t(m_lights.size())) return nullptr;
    return &m_lights[size_t(index)];
}

// ---------------------------------------------------------------- 3D primitives

void CVideoNull::drawMesh(Mesh* mesh)
{
    if (!mesh) return;
    prepare3DStates();
    RenderState state;
    state.mesh = mesh;
    submit(state);
}

void CVideoNull::drawTriangleList(const S3DVertex* vertices, int32_t vertexCount,
                                  const uint16_t* indices, int32_t triangleCount)
{
    if (!vertices || !indices || vertexCount <= 0 || triangleCount <= 0) return;
    const int64_t maximum = getMaxPrimitiveCount();
    if (int64_t(vertexCount) - 1 > maximum || uint32_t(vertexCount) > Mesh::MAX_COUNT)
    {
        zuLog(ELL_ERROR, "Could not draw triangles, too many vertices(%d), maximum is %d.",
              vertexCount, int(maximum < Mesh::MAX_COUNT ? maximum : Mesh::MAX_COUNT));
        return;
    }
    if (int64_t(triangleCount) * 3 > int64_t(Mesh::MAX_COUNT))
    {
        zuLog(ELL_ERROR, "Could not draw triangles, too many triangles(%d).", triangleCount);
        return;
    }
    const int32_t indexCount = triangleCount * 3;
    for (int32_t i = 0; i < indexCount; ++i)
        if (indices[i] >= vertexCount)
        {
            zuLog(ELL_ERROR, "Could not draw triangles, index %u names no vertex of %d.",
                  unsigned(indices[i]), vertexCount);
            return;
        }
    prepare3DStates();
    Mesh* mesh = createMesh(PT_TRIANGLE_LIST, FORMAT_TRIANGLES, 0);
    mesh->wrap(const_cast<S3DVertex*>(vertices), uint16_t(vertexCount), indices,
               uint16_t(indexCount));
    RenderState state;
    state.mesh = mesh;
    submit(state);
    mesh->drop();
}

void CVideoNull::drawLine3D(SVector3f a, SVector3f b, uint32_t color)
{
    SVector3f n = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0.f) n = {n.x / length, n.y / length, n.z / length};
    S3DVertex v[4];
    const SVector3f points[4] = {
        a, b, {a.x + n.x, a.y + n.y, a.z + n.z}, {b.x + n.x, b.y + n.y, b.z + n.z}};
    for (int i = 0; i < 4; ++i)
    {
        v[i].x = points[i].x;
        v[i].y = points[i].y;
        v[i].z = points[i].z;
        v[i].color = color;
        v[i].u = v[i].v = 0.f;
    }
    static const uint16_t kIndices[12] = {0, 1, 2, 0, 2, 1, 0, 1, 3, 0, 3, 1};
    drawTriangleList(v, 4, kIndices, 4);
}

void CVideoNull::drawTriangle3D(const STriangle3f& triangle, uint32_t color)
{
    drawLine3D(triangle.a, triangle.b, color);
    drawLine3D(triangle.b, triangle.c, color);
    drawLine3D(triangle.c, triangle.a, color);
}

void CVideoNull::drawBox3D(const SBox3f& box, uint32_t color)
{
    const SVector3f& lo = box.minEdge;
    const SVector3f& hi = box.maxEdge;
    const SVector3f c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, hi.y, lo.z},
                            {hi.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                            {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}};
    static const int kEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                      {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& edge : kEdges)
        drawLine3D(c[edge[0]], c[edge[1]], color);
}

} // namespace kelvo::video