// The 2D side of the shared driver base: the batch (one indexed triangle
// list per run of sprites with the same texture, blend mode and filter, and
// the rules that flush it), images, rectangles, lines, vertex batches,
// curves and the shader rectangles, all in render pixels mapped to clip
// space by map2D.
#include "video/null/CVideoNull.h"

#include "core/Output.h"
#include "video/IMaterialRenderer.h"
#include "video/ITexture.h"

#include <cmath>
#include <cstring>

using zu::core::ELL_ERROR;
using zu::core::SDimension2i;
using zu::core::zuLog;
using namespace zu::video;

namespace kelvo::video
{

namespace
{

// Curve points become whole pixels; values no pixel can have are pinned.
int32_t toPixel(float value)
{
    if (!(value == value)) return 0;
    if (value >= 2147483520.f) return 2147483520;
    if (value <= -2147483520.f) return -2147483520;
    return int32_t(value);
}

} // namespace

// ---------------------------------------------------------------- the 2D batch

void CVideoNull::releaseBatch()
{
    setBatchTexture(nullptr);
    zu::dropAndClear(m_batchMesh);
    m_batchState.mesh = nullptr;
}

void CVideoNull::flush2D()
{
    if (m_batchMesh)
        flushBatch(m_batchState.stages[0].texture, m_batchAlphaChannel,
                   m_batchState.stages[0].filter);
}

Mesh* CVideoNull::batchMesh()
{
    if (!m_batchMesh)
    {
        m_batchMesh = createMesh(PT_TRIANGLE_LIST, FORMAT_2D_BATCH, 0);
        m_batchState.mesh = m_batchMesh;
    }
    return m_batchMesh;
}

void CVideoNull::setBatchTexture(ITexture* texture)
{
    // The batch keeps its texture alive until it has been drawn, even when the
    // cache or a script lets go of it in between.
    ITexture*& current = m_batchState.stages[0].texture;
    if (current == texture) return;
    if (texture) texture->grab();
    if (current) current->drop();
    current = texture;
}

void CVideoNull::flushBatch(ITexture* texture, bool alphaChannel, bool filter)
{
    Mesh* mesh = batchMesh();
    if (mesh->getVertexCount() > 0)
    {
        prepare2DStates(true, true, m_batchAlphaChannel, m_batchState.stages[0].filter);
        submit(m_batchState);
    }
    if (m_materialDirty2D)
    {
        int32_t last = m_lastMaterial.MaterialType;
        if (last >= 0 && last < int32_t(m_materialRenderers.size()))
            m_materialRenderers[size_t(last)]->unbind();
        int32_t type = resolveMaterialType(m_material.MaterialType);
        if (m_useMaterialFor2D)
        {
            if (type >= 0)
            {
                MaterialState material = m_material;
                material.MaterialType = type;
                m_materialRenderers[size_t(type)]->bind(material, m_lastMaterial,
                                                        m_resetRenderStates, this);
                m_lastMaterial = material;
            }
            else
            {
                m_lastMaterial.MaterialType = -1;
            }
        }
        else
        {
            if (type >= 0) m_materialRenderers[size_t(type)]->unbind();
            m_lastMaterial.MaterialType = -1;
        }
        m_materialDirty2D = false;
    }
    setBatchTexture(texture);
    m_batchAlphaChannel = alphaChannel;
    m_batchState.stages[0].filter = filter;
    mesh->clear();
}

void CVideoNull::appendQuad(const SVector2f corners[4], const uint32_t colors[4],
                            const SVector2f uv[4])
{
    // Corners and uv in the order top-left, top-right, bottom-left,
    // bottom-right; colours top-left, bottom-left, bottom-right, top-right.
    static const int kColorOf[4] = {0, 3, 1, 2};
    static const uint16_t kOrder[6] = {0, 1, 3, 2, 0, 3};
    Mesh* mesh = batchMesh();
    const uint16_t base = mesh->getVertexCount();
    uint8_t* vertices = nullptr;
    uint16_t* indices = nullptr;
    // The batch layout is fixed, so the vertices are written in place.
    if (!mesh->append(4, 6, vertices, indices)) return;
    const int32_t stride = mesh->getStride();
    const int32_t position = mesh->getFeatureOffset(FT_POSITION2D);
    const int32_t color = mesh->getFeatureOffset(FT_COLOR);
    const int32_t texcoord = mesh->getFeatureOffset(FT_TEXCOORD0);
    for (int i = 0; i < 4; ++i)
    {
        uint8_t* v = vertices + i * stride;
        const SVector2f p = map2D(corners[i].x, corners[i].y);
        memcpy(v + position, &p, 8);
        memcpy(v + color, &colors[kColorOf[i]], 4);
        memcpy(v + texcoord, &uv[i], 8);
    }
    for (int i = 0; i < 6; ++i)
        indices[i] = uint16_t(base + kOrder[i]);
}

bool CVideoNull::drawImageQuad(ITexture* texture, SVector2f topLeft, SVector2f topRight,
                               SVector2f bottomLeft, SVector2f bottomRight,
                               const SRecti& sourceRect, const uint32_t colors[4],
                               bool useAlphaChannel, bool filter)
{
    if (!ZU_CHECK(texture) || !colors) return false;
    Mesh* mesh = batchMesh();
    bool flushed = false;
    if (texture != m_batchState.stages[0].texture || useAlphaChannel != m_batchAlphaChannel ||
        filter != m_batchState.stages[0].filter || m_materialDirty2D ||
        mesh->getIndexCount() > BATCH_QUAD_LIMIT || mesh->getVertexCount() > Mesh::MAX_COUNT - 4)
    {
        flushBatch(texture, useAlphaChannel, filter);
        flushed = true;
    }
    SDimension2i size = texture->getSourceSize();
    if (size.width <= 0 || size.height <= 0) return flushed;
    const float w = float(size.width);
    const float h = float(size.height);
    const float inset = m_texelInset;
    const float u0 = (float(sourceRect.left) + inset) / w;
    const float v0 = (float(sourceRect.top) + inset) / h;
    const float u1 = (float(sourceRect.right) - inset) / w;
    const float v1 = (float(sourceRect.bottom) - inset) / h;
    const SVector2f corners[4] = {topLeft, topRight, bottomLeft, bottomRight};
    const SVector2f uv[4] = {{u0, v0}, {u1, v0}, {u0, v1}, {u1, v1}};
    appendQuad(corners, colors, uv);
    return flushed;
}

void CVideoNull::drawImage(ITexture* texture, SPosition2i position, const SRecti& sourceRect,
                           const SRecti* clipRect, uint32_t color, bool useAlphaChannel)
{
    if (!ZU_CHECK(texture)) return;
    float x0 = float(position.x);
    float y0 = float(position.y);
    float x1 = float(int64_t(position.x) + sourceRect.getWidth());
    float y1 = float(int64_t(position.y) + sourceRect.getHeight());
    if (clipRect)
    {
        // Clamping squeezes a clipped image rather than cutting it.
        auto clamp = [](float v, int32_t lo, int32_t hi) {
            return v < float(lo) ? float(lo) : v > float(hi) ? float(hi) : v;
        };
        x0 = clamp(x0, clipRect->left, clipRect->right);
        x1 = clamp(x1, clipRect->left, clipRect->right);
        y0 = clamp(y0, clipRect->top, clipRect->bottom);
        y1 = clamp(y1, clipRect->top, clipRect->bottom);
    }
    const uint32_t colors[4] = {color, color, color, color};
    drawImageQuad(texture, {x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}, sourceRect, colors,
                  useAlphaChannel, false);
}

void CVideoNull::drawImage(ITexture* texture, SPosition2i position)
{
    if (!ZU_CHECK(texture)) return;
    SDimension2i size = texture->getSourceSize();
    drawImage(texture, position, {0, 0, size.width, size.height}, nullptr, 0xFFFFFFFF, false);
}

void CVideoNull::drawImageScaled(ITexture* texture, SVector2f position, const SRecti& sourceRect,
                                 float scale, uint32_t color, bool useAlphaChannel)
{
    if (!ZU_CHECK(texture)) return;
    const float w = float(sourceRect.getWidth()) * scale;
    const float h = float(sourceRect.getHeight()) * scale;
    const float x = position.x;
    const float y = position.y;
    const uint32_t colors[4] = {color, color, color, color};
    drawImageQuad(texture, {x, y}, {x + w, y}, {x, y + h}, {x + w, y + h}, sourceRect, colors,
                  useAlphaChannel, true);
}

void CVideoNull::drawRectangle(uint32_t color, const SRecti& rect, const SRecti* clipRect)
{
    SRecti r = rect;
    if (clipRect)
    {
        if (clipRect->top >= r.bottom || r.top >= clipRect->bottom || clipRect->left >= r.right ||
            r.left >= clipRect->right)
            return;
        r.left = r.left > clipRect->left ? r.left : clipRect->left;
        r.top = r.top > clipRect->top ? r.top : clipRect->top;
        r.right = r.right < clipRect->right ? r.right : clipRect->right;
        r.bottom = r.bottom < clipRect->bottom ? r.bottom : clipRect->bottom;
    }
    const bool alpha = color < 0xFF000000u;
    Mesh* mesh = batchMesh();
    if (m_batchState.stages[0].texture || m_batchAlphaChannel != alpha ||
        m_batchState.stages[0].filter || m_materialDirty2D ||
        mesh->getIndexCount() > BATCH_QUAD_LIMIT || mesh->getVertexCount() > Mesh::MAX_COUNT - 4)
        flushBatch(nullptr, alpha, false);
    const float l = float(r.left), t = float(r.top), rr = float(r.right), b = float(r.bottom);
    const SVector2f corners[4] = {{l, t}, {rr, t}, {l, b}, {rr, b}};
    const uint32_t colors[4] = {color, color, color, color};
    const SVector2f uv[4] = {};
    appendQuad(corners, colors, uv);
}

void CVideoNull::drawLine(SPosition2i start, SPosition2i end, uint32_t color)
{
    Mesh* batch = batchMesh();
    if (m_batchState.stages[0].texture || m_batchAlphaChannel || m_batchState.stages[0].filter ||
        m_materialDirty2D || batch->getIndexCount() > BATCH_LINE_LIMIT)
        flushBatch(nullptr, false, false);
    Mesh* mesh = createMesh(PT_LINE_LIST, FORMAT_2D_LINE, 2);
    for (SPosition2i point : {start, end})
    {
        S3DVertex v;
        SVector2f p = map2D(float(point.x), float(point.y));
        v.x = p.x;
        v.y = p.y;
        v.color = color;
        mesh->addVertex(v);
    }
    RenderState state;
    state.mesh = mesh;
    submit(state);
    mesh->drop();
}

void CVideoNull::drawVertexBatch(ITexture* texture, const SVector2f* positions,
                                 const SVector2f* texCoords, const uint32_t* colors,
                                 const uint32_t* indices, int32_t vertexCount, int32_t indexCount)
{
    if (!positions || vertexCount <= 0 || indexCount < 0 || (indexCount > 0 && !indices)) return;
    if (uint32_t(vertexCount) > Mesh::MAX_COUNT || uint32_t(indexCount) > Mesh::MAX_COUNT)
    {
        zuLog(ELL_ERROR, "Vertex batch refused: %d vertices and %d indices pass the limit of %u",
              vertexCount, indexCount, unsigned(Mesh::MAX_COUNT));
        return;
    }
    for (int32_t i = 0; i < indexCount; ++i)
        if ((indices[i] & 0xFFFF) >= uint32_t(vertexCount))
        {
            zuLog(ELL_ERROR, "Vertex batch refused: index %u names no vertex of %d",
                  unsigned(indices[i] & 0xFFFF), vertexCount);
            return;
        }
    Mesh* mesh = batchMesh();
    if (texture != m_batchState.stages[0].texture || !m_batchAlphaChannel ||
        !m_batchState.stages[0].filter || m_materialDirty2D ||
        uint32_t(indexCount) + mesh->getIndexCount() > BATCH_VERTEX_LIMIT ||
        uint32_t(vertexCount) + mesh->getVertexCount() > Mesh::MAX_COUNT ||
        uint32_t(indexCount) + mesh->getIndexCount() > Mesh::MAX_COUNT)
        flushBatch(texture, true, true);
    const uint16_t base = mesh->getVertexCount();
    for (int32_t i = 0; i < vertexCount; ++i)
    {
        S3DVertex v;
        SVector2f p = map2D(positions[i].x, positions[i].y);
        v.x = p.x;
        v.y = p.y;
        v.color = colors ? colors[i] : 0xFFFFFFFF;
        if (texCoords)
        {
            v.u = texCoords[i].x;
            v.v = texCoords[i].y;
        }
        mesh->addVertex(v);
    }
    for (int32_t i = 0; i < indexCount; ++i)
        mesh->addIndex(uint16_t(base + (indices[i] & 0xFFFF)));
}

void CVideoNull::drawCurve(bool bezier, SVector2f start, SVector2f end, SVector2f startTangent,
                           SVector2f endTangent, float segments, uint32_t color)
{
    // Zero, negative and NaN counts would never reach t = 1.
    if (!(segments > 0.f) || !std::isfinite(segments)) return;
    const float kMaxSegments = 65536.f;
    if (segments > kMaxSegments) segments = kMaxSegments;
    const float step = 1.f / segments;
    const SVector2f c1 = {start.x + startTangent.x, start.y + startTangent.y};
    const SVector2f c2 = {end.x + endTangent.x, end.y + endTangent.y};
    SVector2f previous = start;
    for (float t = 0.f; t < 1.f; t += step)
    {
        SVector2f point;
        if (bezier)
        {
            const float s = 1.f - t;
            const float a = s * s * s, b = 3.f * s * s * t, c = 3.f * s * t * t, d = t * t * t;
            point = {start.x * a + c1.x * b + c2.x * c + end.x * d,
                     start.y * a + c1.y * b + c2.y * c + end.y * d};
        }
        else
        {
            const float t2 = t * t, t3 = t2 * t;
            const float h1 = 2.f * t3 - 3.f * t2 + 1.f, h2 = t3 - 2.f * t2 + t;
            const float h3 = 3.f * t2 - 2.f * t3, h4 = t3 - t2;
            point = {start.x * h1 + startTangent.x * h2 + end.x * h3 + endTangent.x * h4,
                     start.y * h1 + startTangent.y * h2 + end.y * h3 + endTangent.y * h4};
        }
        drawLine({toPixel(previous.x), toPixel(previous.y)}, {toPixel(point.x), toPixel(point.y)},
                 color);
        previous = point;
    }
    drawLine({toPixel(previous.x), toPixel(previous.y)}, {toPixel(end.x), toPixel(end.y)}, color);
}

void CVideoNull::drawBezier(SVector2f start, SVector2f end, SVector2f startTangent,
                            SVector2f endTangent, float segments, uint32_t color)
{
    drawCurve(true, start, end, startTangent, endTangent, segments, color);
}

void CVideoNull::drawHermite(SVector2f start, SVector2f end, SVector2f startTangent,
                             SVector2f endTangent, float segments, uint32_t color)
{
    drawCurve(false, start, end, startTangent, endTangent, segments, color);
}

void CVideoNull::draw2DMesh(RenderState& renderState, const zu::core::CMatrix4& transform)
{
    Mesh* source = renderState.mesh;
    if (!source || !source->hasVertexFeature(FT_POSITION2D) || !source->getVertices() ||
        source->getVertexCount() == 0)
        return;
    flushBatch(nullptr, false, false);
    // A copy in clip space; the script's mesh keeps its pixels.
    Mesh* mesh =
        createMesh(source->getPrimitiveType(), source->getFormat(), source->getVertexCount());
    uint8_t* vertices = nullptr;
    uint16_t* indices = nullptr;
    if (!mesh->append(source->getVertexCount(), source->getIndexCount(), vertices, indices))
    {
        mesh->drop();
        return;
    }
    const size_t stride = size_t(source->getStride());
    memcpy(vertices, source->getVertices(), stride * source->getVertexCount());
    if (source->getIndexCount() > 0)
        memcpy(indices, source->getIndices(), size_t(source->getIndexCount()) * 2);
    const int32_t position = source->getFeatureOffset(FT_POSITION2D);
    for (uint16_t i = 0; i < source->getVertexCount(); ++i)
    {
        float p[2];
        uint8_t* at = vertices + size_t(i) * stride + size_t(position);
        memcpy(p, at, sizeof p);
        const float x = p[0] * transform(0, 0) + p[1] * transform(1, 0) + transform(3, 0);
        const float y = p[0] * transform(0, 1) + p[1] * transform(1, 1) + transform(3, 1);
        const SVector2f mapped = map2D(x, y);
        memcpy(at, &mapped, sizeof mapped);
    }
    prepare2DStates(true, true, true, true);
    RenderState state = renderState;
    state.mesh = mesh;
    submit(state);
    mesh->drop();
}

// ---------------------------------------------------------------- shader rectangles

void CVideoNull::drawShaderQuad(const SRecti& destRect, const SRecti& sourceRect,
                                SDimension2i sourceSize, const SRecti* secondRect,
                                const SDimension2i* secondSize)
{
    flushBatch(nullptr, false, false);
    const float inset = m_texelInset;
    auto coords = [inset](const SRecti& r, SDimension2i size, SVector2f out[4])
    {
        if (size.width <= 0 || size.height <= 0) return;
        const float w = float(size.width), h = float(size.height);
        const float u0 = (float(r.left) + inset) / w, v0 = (float(r.top) + inset) / h;
        const float u1 = (float(r.right) - inset) / w, v1 = (float(r.bottom) - inset) / h;
        out[0] = {u0, v0};
        out[1] = {u1, v0};
        out[2] = {u0, v1};
        out[3] = {u1, v1};
    };
    SVector2f first[4] = {}, second[4] = {};
    coords(sourceRect, sourceSize, first);
    if (secondRect && secondSize) coords(*secondRect, *secondSize, second);

    // Green grows to the right and red downwards, so a shader can tell where
    // in the rectangle it is.
    static const uint32_t kCornerColors[4] = {0x00000000, 0x0000FF00, 0x00FF0000, 0x00FFFF00};
    const float l = float(destRect.left), t = float(destRect.top);
    const float r = float(destRect.right), b = float(destRect.bottom);
    const SVector2f corners[4] = {{l, t}, {r, t}, {l, b}, {r, b}};
    Mesh* mesh = createMesh(PT_TRIANGLE_STRIP, FORMAT_SHADER_QUAD, 4);
    for (int i = 0; i < 4; ++i)
    {
        S3DVertex v;
        SVector2f p = map2D(corners[i].x, corners[i].y);
        v.x = p.x;
        v.y = p.y;
        v.nx = second[i].x;
        v.ny = second[i].y;
        v.nz = 0.f;
        v.color = kCornerColors[i];
        v.u = first[i].x;
        v.v = first[i].y;
        mesh->addVertex(v);
    }
    prepare2DStates(true, true, false, false);
    RenderState state;
    state.mesh = mesh;
    submit(state);
    mesh->drop();
}

void CVideoNull::drawShaderRect(int32_t materialType, const SRecti& destRect,
                                const SRecti* sourceRect, const SRecti* secondRect, int secondStage)
{
    // A failed shader creation hands scripts -1; such a rectangle is skipped.
    if (materialType < 0 || materialType >= int32_t(m_materialRenderers.size()))
    {
        if (m_reportedMaterialTypes.insert(materialType).second)
            zuLog(ELL_ERROR, "Material type %d has no renderer; the shader rectangle is skipped",
                  materialType);
        return;
    }
    MaterialState material;
    material.MaterialType = materialType;
    for (int i = 0; i < MATERIAL_MAX_TEXTURES; ++i)
        material.Textures[i] = m_currentTextures[i];
    material.ZBuffer = false;
    material.ZWriteEnable = false;
    material.BilinearFilter = false;
    material.TrilinearFilter = false;

    SRecti r = sourceRect ? *sourceRect : destRect;
    if (m_renderSize != m_screenSize && m_renderSize.width > 0 && m_renderSize.height > 0)
    {
        const float sx = float(m_screenSize.width) / float(m_renderSize.width);
        const float sy = float(m_screenSize.height) / float(m_renderSize.height);
        r.left = toPixel(float(r.left) * sx);
        r.right = toPixel(float(r.right) * sx);
        r.top = toPixel(float(r.top) * sy);
        r.bottom = toPixel(float(r.bottom) * sy);
    }
    SDimension2i secondSize;
    const SRecti* second = nullptr;
    if (secondRect)
    {
        ITexture* secondTexture = (secondStage >= 0 && secondStage < MATERIAL_MAX_TEXTURES)
                                      ? material.Textures[secondStage]
                                      : nullptr;
        if (secondTexture)
        {
            secondSize = secondTexture->getSize();
            second = secondRect;
        }
        else if (m_reportedEmptyStages.insert(secondStage).second)
        {
            zuLog(ELL_ERROR, "Shader rectangle: texture stage %d is empty; its coordinates are 0",
                  secondStage);
        }
    }
    SDimension2i firstSize;
    if (material.Textures[0]) firstSize = material.Textures[0]->getSize();

    const bool useMaterial = m_useMaterialFor2D;
    setUseMaterialFor2D(true);
    setMaterial(material);
    drawShaderQuad(destRect, r, firstSize, second, second ? &secondSize : nullptr);
    setUseMaterialFor2D(useMaterial);
}

void CVideoNull::drawShaderFullscreen(int32_t materialType)
{
    drawShaderRect(materialType, {0, 0, m_renderSize.width, m_renderSize.height}, nullptr, nullptr,
                   0);
}

} // namespace kelvo::video
