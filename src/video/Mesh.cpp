#include "video/Mesh.h"

#include "core/Output.h"

#include <cstring>

namespace zu::video
{

const EVertexFeature FORMAT_2D_BATCH[] = {FT_POSITION2D, FT_COLOR, FT_TEXCOORD0, FT_END};
const EVertexFeature FORMAT_2D_LINE[] = {FT_POSITION2D, FT_COLOR, FT_END};
const EVertexFeature FORMAT_SHADER_QUAD[] = {FT_POSITION2D, FT_NORMAL, FT_COLOR, FT_TEXCOORD0,
                                             FT_END};
const EVertexFeature FORMAT_TRIANGLES[] = {FT_POSITION3D, FT_NORMAL, FT_COLOR, FT_TEXCOORD0,
                                           FT_END};

namespace
{

int32_t featureSize(EVertexFeature feature)
{
    switch (feature)
    {
    case FT_POSITION3D:
    case FT_NORMAL:
        return 12;
    case FT_POSITION2D:
    case FT_TEXCOORD0:
    case FT_TEXCOORD1:
        return 8;
    case FT_COLOR:
        return 4;
    default:
        return 0;
    }
}

// Capacities grow in steps of 64 and stop at the 16-bit limit.
uint16_t grownCapacity(uint32_t n)
{
    uint32_t capacity = (n / 64 + 1) * 64;
    return uint16_t(capacity > Mesh::MAX_COUNT ? Mesh::MAX_COUNT : capacity);
}

} // namespace

Mesh::Mesh(EPrimitiveType primitiveType, const EVertexFeature* format, uint16_t vertexCapacity)
    : m_primitiveType(primitiveType)
{
    setFormat(format);
    if (vertexCapacity > 0)
    {
        m_vertices = new uint8_t[size_t(vertexCapacity) * size_t(m_stride)];
        m_vertexCapacity = vertexCapacity;
    }
}

Mesh::~Mesh() { freeMemory(); }

bool Mesh::upload(bool)
{
    ZU_CHECK(!"Error: Generic meshes can't be loaded!");
    return false;
}

void Mesh::freeMemory()
{
    // A wrapper's arrays belong to its caller.
    if (!m_isWrapper)
    {
        delete[] m_vertices;
        delete[] m_indices;
    }
    m_vertices = nullptr;
    m_indices = nullptr;
    m_vertexCapacity = 0;
    m_indexCapacity = 0;
}

void Mesh::setFormat(const EVertexFeature* format)
{
    for (int32_t& offset : m_featureOffset)
        offset = -1;
    m_stride = 0;
    m_featureCount = 0;
    m_featureMask = 0;
    int count = 0;
    for (; format && format[count] != FT_END; ++count)
    {
        EVertexFeature feature = format[count];
        if (!ZU_CHECK(count < MAX_FORMAT_FEATURES) || !ZU_CHECK(featureSize(feature) > 0) ||
            !ZU_CHECK(m_featureOffset[feature] == -1))
            break;
        m_format[count] = feature;
        m_featureOffset[feature] = m_stride;
        m_stride += featureSize(feature);
        m_featureMask |= 1u << feature;
        ++m_featureCount;
    }
    m_format[m_featureCount] = FT_END;
    ZU_CHECK(hasVertexFeature(FT_POSITION2D) || hasVertexFeature(FT_POSITION3D));
}

bool Mesh::wrap(S3DVertex* vertices, uint16_t vertexCount, const uint16_t* indices,
                uint16_t indexCount)
{
    if (!ZU_CHECK(!m_vertices) || !ZU_CHECK(!m_indices))
        return false;
    m_primitiveType = PT_TRIANGLE_LIST;
    setFormat(FORMAT_TRIANGLES);
    m_isWrapper = true;
    m_vertices = reinterpret_cast<uint8_t*>(vertices);
    m_vertexCount = m_vertexCapacity = vertexCount;
    // The wrapper never writes through its index pointer.
    m_indices = const_cast<uint16_t*>(indices);
    m_indexCount = m_indexCapacity = indexCount;
    return true;
}

bool Mesh::reserveVertices(uint32_t n)
{
    if (!ZU_CHECK(n > 0) || !ZU_CHECK(!isWrapper()) || n > MAX_COUNT)
        return false;
    if (m_vertexCapacity >= n)
        return true;
    uint16_t capacity = grownCapacity(n);
    uint8_t* grown = new uint8_t[size_t(capacity) * size_t(m_stride)];
    if (m_vertices)
        memcpy(grown, m_vertices, size_t(m_vertexCount) * size_t(m_stride));
    delete[] m_vertices;
    m_vertices = grown;
    m_vertexCapacity = capacity;
    return true;
}

bool Mesh::reserveIndices(uint32_t n)
{
    if (!ZU_CHECK(n > 0) || !ZU_CHECK(!isWrapper()) || n > MAX_COUNT)
        return false;
    if (m_indexCapacity >= n)
        return true;
    uint16_t capacity = grownCapacity(n);
    uint16_t* grown = new uint16_t[capacity];
    if (m_indices)
        memcpy(grown, m_indices, size_t(m_indexCount) * sizeof(uint16_t));
    delete[] m_indices;
    m_indices = grown;
    m_indexCapacity = capacity;
    return true;
}

bool Mesh::append(uint16_t vertices, uint16_t indices, uint8_t*& vertexBytes,
                  uint16_t*& indexSlots)
{
    const uint32_t vertexCount = uint32_t(m_vertexCount) + vertices;
    const uint32_t indexCount = uint32_t(m_indexCount) + indices;
    if (vertexCount > MAX_COUNT || indexCount > MAX_COUNT)
    {
        core::zuLog(core::ELL_ERROR, "Mesh is full: it can't hold more than %u vertices or indices",
                    unsigned(MAX_COUNT));
        return false;
    }
    if ((vertices && !reserveVertices(vertexCount)) || (indices && !reserveIndices(indexCount)))
        return false;
    vertexBytes = m_vertices + size_t(m_vertexCount) * size_t(m_stride);
    indexSlots = m_indices + m_indexCount;
    m_vertexCount = uint16_t(vertexCount);
    m_indexCount = uint16_t(indexCount);
    return true;
}

uint16_t Mesh::addVertex(const S3DVertex& vertex)
{
    if (m_vertexCount >= MAX_COUNT)
    {
        core::zuLog(core::ELL_ERROR, "Mesh is full: it can't hold more than %u vertices",
                    unsigned(MAX_COUNT));
        return INVALID_INDEX;
    }
    if (!reserveVertices(uint32_t(m_vertexCount) + 1))
        return INVALID_INDEX;
    uint16_t index = m_vertexCount++;
    uint8_t* base = m_vertices + size_t(index) * size_t(m_stride);
    if (hasVertexFeature(FT_POSITION3D))
        memcpy(base + m_featureOffset[FT_POSITION3D], &vertex.x, 12);
    if (hasVertexFeature(FT_POSITION2D))
        memcpy(base + m_featureOffset[FT_POSITION2D], &vertex.x, 8);
    if (hasVertexFeature(FT_NORMAL))
        memcpy(base + m_featureOffset[FT_NORMAL], &vertex.nx, 12);
    if (hasVertexFeature(FT_COLOR))
        memcpy(base + m_featureOffset[FT_COLOR], &vertex.color, 4);
    if (hasVertexFeature(FT_TEXCOORD0))
        memcpy(base + m_featureOffset[FT_TEXCOORD0], &vertex.u, 8);
    return index;
}

bool Mesh::addIndex(uint16_t index)
{
    if (index >= m_vertexCount)
    {
        core::zuLog(core::ELL_ERROR, "Mesh index %u refused: the mesh has %u vertices",
                    unsigned(index), unsigned(m_vertexCount));
        return false;
    }
    if (m_indexCount >= MAX_COUNT)
    {
        core::zuLog(core::ELL_ERROR, "Mesh is full: it can't hold more than %u indices",
                    unsigned(MAX_COUNT));
        return false;
    }
    if (!reserveIndices(uint32_t(m_indexCount) + 1))
        return false;
    m_indices[m_indexCount++] = index;
    return true;
}

uint16_t Mesh::addTriangle(uint16_t a, uint16_t b, uint16_t c)
{
    if (!ZU_CHECK(m_primitiveType == PT_TRIANGLE_LIST))
        return m_indexCount;
    if (a >= m_vertexCount || b >= m_vertexCount || c >= m_vertexCount)
    {
        core::zuLog(core::ELL_ERROR, "Mesh triangle refused: the mesh has %u vertices",
                    unsigned(m_vertexCount));
        return m_indexCount;
    }
    if (uint32_t(m_indexCount) + 3 > MAX_COUNT)
    {
        core::zuLog(core::ELL_ERROR, "Mesh is full: it can't hold more than %u indices",
                    unsigned(MAX_COUNT));
        return m_indexCount;
    }
    addIndex(a);
    addIndex(b);
    addIndex(c);
    return m_indexCount;
}

uint8_t* Mesh::vertexAttribute(uint16_t index, EVertexFeature feature)
{
    if (!ZU_CHECK(index < m_vertexCount) || !ZU_CHECK(hasVertexFeature(feature)))
        return nullptr;
    return m_vertices + size_t(index) * size_t(m_stride) + size_t(m_featureOffset[feature]);
}

const uint8_t* Mesh::vertexAttribute(uint16_t index, EVertexFeature feature) const
{
    return const_cast<Mesh*>(this)->vertexAttribute(index, feature);
}

bool Mesh::hasVertexFeature(EVertexFeature feature) const
{
    return feature >= 0 && feature < FEATURE_SLOTS && m_featureOffset[feature] != -1;
}

int32_t Mesh::getFeatureOffset(EVertexFeature feature) const
{
    return (feature >= 0 && feature < FEATURE_SLOTS) ? m_featureOffset[feature] : -1;
}

void Mesh::clear()
{
    if (!ZU_CHECK(!isWrapper()))
        return;
    m_vertexCount = 0;
    m_indexCount = 0;
}

uint32_t Mesh::getPrimitiveCount() const
{
    uint32_t n = m_indexCount ? m_indexCount : m_vertexCount;
    switch (m_primitiveType)
    {
    case PT_LINE_LIST:
        return n / 2;
    case PT_TRIANGLE_STRIP:
        return n >= 2 ? n - 2 : 0;
    case PT_TRIANGLE_LIST:
        return n / 3;
    }
    return 0;
}

} // namespace zu::video
