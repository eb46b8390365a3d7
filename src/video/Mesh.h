// Mesh: a block of vertices with a run-time layout and an optional list of
// 16-bit indices, drawn as one primitive list. It is the only way geometry
// reaches a driver. This base keeps the memory arrays and the layout; each
// driver's mesh adds its API buffers (upload) and its draw call.
//
// Counts are 16-bit: adding past 65535 vertices or indices is refused and
// logged instead of wrapping, and every index handed in must name a vertex
// the mesh already has.
#pragma once

#include "core/IUnknown.h"
#include "video/S3DVertex.h"

#include <cstdint>

namespace zu::video
{

enum EVertexFeature : int32_t
{
    FT_POSITION3D = 0, // x, y, z
    FT_POSITION2D = 1, // x, y in clip space
    FT_NORMAL = 2,     // three floats (the shader quad carries a second u, v here)
    FT_TEXCOORD0 = 3,
    FT_TEXCOORD1 = 4,
    FT_COLOR = 5, // u32 ARGB
    FT_END = 7
};

enum EPrimitiveType : int32_t
{
    PT_LINE_LIST = 0,
    PT_TRIANGLE_STRIP = 1,
    PT_TRIANGLE_LIST = 2
};

// The layouts in use.
extern const EVertexFeature FORMAT_2D_BATCH[];    // position 2D, colour, uv: 20 bytes
extern const EVertexFeature FORMAT_2D_LINE[];     // position 2D, colour: 12 bytes
extern const EVertexFeature FORMAT_SHADER_QUAD[]; // position 2D, normal, colour, uv: 32 bytes
extern const EVertexFeature FORMAT_TRIANGLES[];   // position 3D, normal, colour, uv: 36 bytes

class Mesh : public virtual IUnknown
{
public:
    static constexpr uint32_t MAX_COUNT = 0xFFFF;
    // What addVertex returns when the mesh is full.
    static constexpr uint16_t INVALID_INDEX = 0xFFFF;
    static constexpr int FEATURE_SLOTS = 6;
    static constexpr int MAX_FORMAT_FEATURES = 5;

    Mesh(EPrimitiveType primitiveType, const EVertexFeature* format, uint16_t vertexCapacity);
    ~Mesh() override;

    // Copies the arrays into API buffers, freeing the memory copies when asked.
    virtual bool upload(bool freeMemory);
    virtual void draw() = 0;

    void setFormat(const EVertexFeature* format);
    // Makes the mesh a view on the caller's triangle list (36-byte records);
    // nothing is copied, and the arrays must outlive the mesh.
    bool wrap(S3DVertex* vertices, uint16_t vertexCount, const uint16_t* indices,
              uint16_t indexCount);
    bool reserveVertices(uint32_t n);
    bool reserveIndices(uint32_t n);

    // The new vertex's index, or INVALID_INDEX when the mesh is full.
    uint16_t addVertex(const S3DVertex& vertex);
    // False when the index names no vertex or the index list is full.
    bool addIndex(uint16_t index);
    // Returns the index count after the call; a refused triangle adds nothing.
    uint16_t addTriangle(uint16_t a, uint16_t b, uint16_t c);
    // Adds `vertices` vertices and `indices` indices at once and returns where
    // they go, for a caller that fills many (the 2D batch) in the mesh's
    // layout; the indices it writes must name vertices the mesh has. False,
    // with nothing added, when the mesh cannot hold them.
    bool append(uint16_t vertices, uint16_t indices, uint8_t*& vertexBytes, uint16_t*& indexSlots);

    uint8_t* vertexAttribute(uint16_t index, EVertexFeature feature);
    const uint8_t* vertexAttribute(uint16_t index, EVertexFeature feature) const;
    bool hasVertexFeature(EVertexFeature feature) const;
    int32_t getFeatureOffset(EVertexFeature feature) const;
    void clear();
    bool isWrapper() const { return m_isWrapper; }

    EPrimitiveType getPrimitiveType() const { return m_primitiveType; }
    uint16_t getVertexCount() const { return m_vertexCount; }
    uint16_t getVertexCapacity() const { return m_vertexCapacity; }
    uint16_t getIndexCount() const { return m_indexCount; }
    uint16_t getIndexCapacity() const { return m_indexCapacity; }
    const uint8_t* getVertices() const { return m_vertices; }
    const uint16_t* getIndices() const { return m_indices; }
    int32_t getStride() const { return m_stride; }
    int32_t getFeatureCount() const { return m_featureCount; }
    uint32_t getFeatureMask() const { return m_featureMask; }
    const EVertexFeature* getFormat() const { return m_format; }
    // Lines, strip triangles or list triangles, counted over the indices when
    // there are any, else over the vertices.
    uint32_t getPrimitiveCount() const;

protected:
    // Frees the memory copies (after an upload); capacities become 0.
    void freeMemory();

    EPrimitiveType m_primitiveType;
    uint16_t m_vertexCount = 0;
    uint16_t m_vertexCapacity = 0;
    uint16_t m_indexCount = 0;
    uint16_t m_indexCapacity = 0;
    uint16_t* m_indices = nullptr;
    uint8_t* m_vertices = nullptr;
    int32_t m_featureOffset[FEATURE_SLOTS];
    int32_t m_stride = 0;
    int32_t m_featureCount = 0;
    uint32_t m_featureMask = 0;
    bool m_isWrapper = false;
    EVertexFeature m_format[MAX_FORMAT_FEATURES + 1];
};

} // namespace zu::video
