// Mesh layouts, growth and the 16-bit limits.
#include "VideoTestSupport.h"

#include "video/null/CNullMesh.h"

using kelvo::video::CNullMesh;
using videotest::CCapture;
using namespace zu::video;

TEST(Mesh, LayoutsOfTheFormatsInUse)
{
    const struct
    {
        const EVertexFeature* format;
        int stride;
        int position2D, position3D, normal, color, uv;
    } cases[] = {
        {FORMAT_2D_BATCH, 20, 0, -1, -1, 8, 12},
        {FORMAT_2D_LINE, 12, 0, -1, -1, 8, -1},
        {FORMAT_SHADER_QUAD, 32, 0, -1, 8, 20, 24},
        {FORMAT_TRIANGLES, 36, -1, 0, 12, 24, 28},
    };
    for (const auto& c : cases)
    {
        CNullMesh mesh(PT_TRIANGLE_LIST, c.format, 0);
        EXPECT_EQ(mesh.getStride(), c.stride);
        EXPECT_EQ(mesh.getFeatureOffset(FT_POSITION2D), c.position2D);
        EXPECT_EQ(mesh.getFeatureOffset(FT_POSITION3D), c.position3D);
        EXPECT_EQ(mesh.getFeatureOffset(FT_NORMAL), c.normal);
        EXPECT_EQ(mesh.getFeatureOffset(FT_COLOR), c.color);
        EXPECT_EQ(mesh.getFeatureOffset(FT_TEXCOORD0), c.uv);
        EXPECT_EQ(mesh.getFeatureOffset(FT_TEXCOORD1), -1);
    }
}

TEST(Mesh, CapacityGrowsInStepsOf64)
{
    CNullMesh* mesh = new CNullMesh(PT_TRIANGLE_LIST, FORMAT_2D_BATCH, 0);
    mesh->reserveVertices(1);
    EXPECT_EQ(mesh->getVertexCapacity(), 64);
    mesh->reserveVertices(64);
    EXPECT_EQ(mesh->getVertexCapacity(), 64); // enough already
    mesh->drop();
    mesh = new CNullMesh(PT_TRIANGLE_LIST, FORMAT_2D_BATCH, 0);
    mesh->reserveVertices(64);
    EXPECT_EQ(mesh->getVertexCapacity(), 128);
    mesh->reserveIndices(65535);
    EXPECT_EQ(mesh->getIndexCapacity(), 65535); // the step stops at the 16-bit limit
    mesh->drop();
}

TEST(Mesh, VerticesTakeOnlyTheirFeatures)
{
    CNullMesh mesh(PT_LINE_LIST, FORMAT_2D_LINE, 0);
    S3DVertex v;
    v.x = 1.5f, v.y = -2.f, v.z = 99.f, v.color = 0x11223344, v.u = 7.f;
    EXPECT_EQ(mesh.addVertex(v), 0);
    const float* position = reinterpret_cast<const float*>(mesh.getVertices());
    EXPECT_EQ(position[0], 1.5f);
    EXPECT_EQ(position[1], -2.f);
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(mesh.getVertices() + 8), 0x11223344u);
    EXPECT_EQ(mesh.getStride(), 12);
}

TEST(Mesh, PrimitiveCounts)
{
    const struct
    {
        EPrimitiveType type;
        int vertices, indices;
        uint32_t primitives;
    } cases[] = {{PT_TRIANGLE_STRIP, 4, 0, 2}, {PT_TRIANGLE_LIST, 6, 0, 2},
                 {PT_TRIANGLE_LIST, 4, 6, 2},  {PT_LINE_LIST, 5, 0, 2},
                 {PT_TRIANGLE_STRIP, 1, 0, 0}, {PT_LINE_LIST, 2, 4, 2}};
    for (const auto& c : cases)
    {
        CNullMesh mesh(c.type, FORMAT_2D_LINE, 0);
        for (int i = 0; i < c.vertices; ++i)
            mesh.addVertex(S3DVertex());
        for (int i = 0; i < c.indices; ++i)
            mesh.addIndex(uint16_t(i % c.vertices));
        EXPECT_EQ(mesh.getPrimitiveCount(), c.primitives);
    }
}

TEST(Mesh, SixteenBitLimitsRefuseInsteadOfWrapping)
{
    CCapture capture;
    CNullMesh mesh(PT_TRIANGLE_LIST, FORMAT_2D_LINE, 0);
    for (int i = 0; i < 65535; ++i)
        ASSERT_EQ(mesh.addVertex(S3DVertex()), uint16_t(i));
    EXPECT_EQ(mesh.addVertex(S3DVertex()), Mesh::INVALID_INDEX);
    EXPECT_EQ(mesh.getVertexCount(), 65535);
    EXPECT_TRUE(CCapture::logged("can't hold more than 65535 vertices"));

    for (int i = 0; i < 65535; ++i)
        ASSERT_TRUE(mesh.addIndex(uint16_t(i)));
    EXPECT_FALSE(mesh.addIndex(0));
    EXPECT_EQ(mesh.getIndexCount(), 65535);
    EXPECT_TRUE(CCapture::logged("can't hold more than 65535 indices"));
}

TEST(Mesh, IndicesMustNameVertices)
{
    CCapture capture;
    CNullMesh mesh(PT_TRIANGLE_LIST, FORMAT_2D_LINE, 0);
    mesh.addVertex(S3DVertex());
    mesh.addVertex(S3DVertex());
    EXPECT_FALSE(mesh.addIndex(2));
    EXPECT_EQ(mesh.addTriangle(0, 1, 2), 0);
    mesh.addVertex(S3DVertex());
    EXPECT_EQ(mesh.addTriangle(0, 1, 2), 3);
    EXPECT_TRUE(CCapture::checks().empty());

    CNullMesh lines(PT_LINE_LIST, FORMAT_2D_LINE, 0);
    lines.addTriangle(0, 0, 0);
    EXPECT_EQ(CCapture::checks().size(), 1u); // a programming error, not input
}

TEST(Mesh, WrapperUsesTheCallersArrays)
{
    CCapture capture;
    S3DVertex vertices[3];
    vertices[2].z = 5.f;
    const uint16_t indices[3] = {2, 1, 0};
    CNullMesh mesh(PT_LINE_LIST, FORMAT_2D_LINE, 0);
    EXPECT_TRUE(mesh.wrap(vertices, 3, indices, 3));
    EXPECT_TRUE(mesh.isWrapper());
    EXPECT_EQ(mesh.getPrimitiveType(), PT_TRIANGLE_LIST);
    EXPECT_EQ(mesh.getVertices(), reinterpret_cast<uint8_t*>(vertices));
    EXPECT_EQ(*reinterpret_cast<const float*>(mesh.vertexAttribute(2, FT_POSITION3D) + 8), 5.f);
    mesh.clear();
    EXPECT_EQ(mesh.getVertexCount(), 3); // a wrapper can't be cleared
    EXPECT_EQ(CCapture::checks().size(), 1u);
}
