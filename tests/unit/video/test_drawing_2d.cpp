// 2D drawing on the recording driver: the batch's flush rules and limits, quad
// layout, texel inset, lines, curves, vertex batches, shader quads and the 3D
// triangle lists.
#include "CRecordingDriver.h"
#include "VideoTestSupport.h"

#include "video/ITexture.h"
#include "video/null/CImage.h"

#include <cmath>
#include <functional>

using kelvo::video::CImage;
using videotest::CCapture;
using videotest::CRecordingDriver;
using videotest::SRecordedDraw;
using namespace zu::video;

namespace
{

class Drawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_a = blank("a", 64, 64);
        m_b = blank("b", 64, 64);
    }
    void TearDown() override
    {
        m_driver->drop();
        m_fs->drop();
    }

    ITexture* blank(const char* name, int w, int h)
    {
        return m_driver->addTexture({w, h}, name, ECF_A8R8G8B8, false);
    }
    // Index counts of the draws so far.
    std::vector<size_t> indexCounts() const
    {
        std::vector<size_t> out;
        for (const SRecordedDraw& d : m_driver->draws)
            out.push_back(d.indices.size());
        return out;
    }

    CCapture m_capture;
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    CRecordingDriver* m_driver = new CRecordingDriver(m_fs, {800, 600});
    ITexture* m_a = nullptr;
    ITexture* m_b = nullptr;
};

const SRecti kWhole = {0, 0, 64, 64};

} // namespace

TEST_F(Drawing, OneDrawPerRunOfTheSameTexture)
{
    m_driver->beginScene(true, true, 0);
    m_driver->drawImage(m_a, {0, 0});
    m_driver->drawImage(m_a, {10, 10});
    EXPECT_TRUE(m_driver->draws.empty());
    m_driver->drawImage(m_b, {20, 20});
    m_driver->endScene();
    ASSERT_EQ(indexCounts(), (std::vector<size_t>{12, 6}));
    EXPECT_EQ(m_driver->draws[0].textures[0], m_a);
    EXPECT_EQ(m_driver->draws[1].textures[0], m_b);
    EXPECT_EQ(m_driver->draws[0].mode, 1);
    EXPECT_FALSE(m_driver->draws[0].filter2D); // drawImage samples points
    EXPECT_EQ(m_driver->getPrimitivesDrawn(), 6u);
}

TEST_F(Drawing, QuadLayout)
{
    const uint32_t colors[4] = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
    m_driver->drawImageQuad(m_a, {0, 0}, {800, 0}, {0, 600}, {800, 600}, {8, 16, 40, 48}, colors,
                            true, true);
    m_driver->endScene();
    ASSERT_EQ(m_driver->draws.size(), 1u);
    const SRecordedDraw& d = m_driver->draws[0];
    EXPECT_EQ(d.stride, 20);
    EXPECT_EQ(d.indices, (std::vector<uint16_t>{0, 1, 3, 2, 0, 3}));
    EXPECT_TRUE(d.alphaChannel);
    EXPECT_TRUE(d.filter2D);
    const struct
    {
        float x, y;
        uint32_t color;
        float u, v;
    } want[4] = {{-1, 1, colors[0], 8.5f / 64, 16.5f / 64},
                 {1, 1, colors[3], 39.5f / 64, 16.5f / 64},
                 {-1, -1, colors[1], 8.5f / 64, 47.5f / 64},
                 {1, -1, colors[2], 39.5f / 64, 47.5f / 64}};
    ASSERT_EQ(d.vertices.size(), 4u);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(d.vertices[i].x, want[i].x) << i;
        EXPECT_EQ(d.vertices[i].y, want[i].y) << i;
        EXPECT_EQ(d.vertices[i].color, want[i].color) << i;
        EXPECT_EQ(d.vertices[i].u, want[i].u) << i;
        EXPECT_EQ(d.vertices[i].v, want[i].v) << i;
    }
}

TEST_F(Drawing, PointSamplingDropsTheTexelInset)
{
    for (bool point : {false, true})
    {
        m_driver->draws.clear();
        m_driver->setForcePointSampling(point);
        m_driver->drawImage(m_a, {0, 0}, {0, 0, 32, 32}, nullptr, 0xFFFFFFFF, false);
        m_driver->endScene();
        ASSERT_EQ(m_driver->draws.size(), 1u);
        const auto& v = m_driver->draws[0].vertices;
        EXPECT_EQ(v[0].u, point ? 0.f : 0.5f / 64);
        EXPECT_EQ(v[3].u, point ? 0.5f : 31.5f / 64);
        EXPECT_EQ(v[3].v, point ? 0.5f : 31.5f / 64);
    }
}

TEST_F(Drawing, WhatFlushesTheBatch)
{
    const uint32_t white[4] = {~0u, ~0u, ~0u, ~0u};
    // Each step draws after one opaque point-sampled image of texture a.
    const struct
    {
        const char* what;
        std::function<void(CRecordingDriver*, ITexture*, ITexture*)> step;
        bool flushes;
    } cases[] = {
        {"same image again", [](auto d, auto a, auto) { d->drawImage(a, {1, 1}); }, false},
        {"other texture", [](auto d, auto, auto b) { d->drawImage(b, {1, 1}); }, true},
        {"alpha channel",
         [](auto d, auto a, auto) { d->drawImage(a, {0, 0}, kWhole, nullptr, ~0u, true); }, true},
        {"filter on", [](auto d, auto a, auto) { d->drawImageScaled(a, {0, 0}, kWhole, 2.f, ~0u, false); },
         true},
        {"quad with same settings",
         [&](auto d, auto a, auto) {
             d->drawImageQuad(a, {0, 0}, {1, 0}, {0, 1}, {1, 1}, kWhole, white, false, false);
         },
         false},
        {"rectangle", [](auto d, auto, auto) { d->drawRectangle(~0u, {0, 0, 5, 5}, nullptr); }, true},
        {"rectangle clipped away",
         [](auto d, auto, auto) {
             const SRecti clip = {10, 10, 20, 20};
             d->drawRectangle(~0u, {0, 0, 10, 30}, &clip);
         },
         false},
        {"material for 2D", [](auto d, auto, auto) { d->setUseMaterialFor2D(true); }, true},
        {"point sampling", [](auto d, auto, auto) { d->setForcePointSampling(true); }, true},
        {"3D line", [](auto d, auto, auto) { d->drawLine3D({0, 0, 0}, {1, 2, 3}, ~0u); }, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        m_driver->setUseMaterialFor2D(false);
        m_driver->setForcePointSampling(false);
        m_driver->endScene();
        m_driver->draws.clear();
        m_driver->drawImage(m_a, {0, 0});
        c.step(m_driver, m_a, m_b);
        size_t twoD = 0;
        for (const SRecordedDraw& d : m_driver->draws)
            twoD += d.primitiveType == PT_TRIANGLE_LIST && d.stride == 20;
        EXPECT_EQ(twoD, c.flushes ? 1u : 0u);
    }
}

TEST_F(Drawing, TranslucentRectangleAfterAnOpaqueOne)
{
    m_driver->drawRectangle(0xFF102030, {0, 0, 4, 4}, nullptr);
    m_driver->drawRectangle(0xFE102030, {0, 0, 4, 4}, nullptr);
    m_driver->drawRectangle(0x00102030, {0, 0, 4, 4}, nullptr);
    m_driver->endScene();
    ASSERT_EQ(indexCounts(), (std::vector<size_t>{6, 12}));
    EXPECT_FALSE(m_driver->draws[0].alphaChannel);
    EXPECT_TRUE(m_driver->draws[1].alphaChannel);
    EXPECT_EQ(m_driver->draws[1].textures[0], nullptr);
    EXPECT_EQ(m_driver->draws[1].vertices[0].u, 0.f);
}

TEST_F(Drawing, ClippedImagesAreSqueezedNotCut)
{
    const SRecti clip = {10, 10, 20, 20};
    m_driver->drawImage(m_a, {0, 0}, kWhole, &clip, ~0u, false);
    m_driver->endScene();
    ASSERT_EQ(m_driver->draws.size(), 1u);
    const auto& v = m_driver->draws[0].vertices;
    EXPECT_EQ(v[0].x, m_driver->map2D(10, 10).x);
    EXPECT_EQ(v[3].y, m_driver->map2D(20, 20).y);
    EXPECT_EQ(v[3].u, 63.5f / 64);
}

TEST_F(Drawing, BatchLimits)
{
    const struct
    {
        const char* what;
        int quads;
        std::vector<size_t> draws;
    } quadCases[] = {
        {"2730 quads fit", 2730, {16380}},
        {"the 2731st flushes first", 2731, {16380, 6}},
    };
    for (const auto& c : quadCases)
    {
        SCOPED_TRACE(c.what);
        m_driver->draws.clear();
        for (int i = 0; i < c.quads; ++i)
            m_driver->drawRectangle(~0u, {0, 0, 1, 1}, nullptr);
        m_driver->endScene();
        EXPECT_EQ(indexCounts(), c.draws);
    }

    // A line is drawn at once, behind a full batch of 16380 indices.
    m_driver->draws.clear();
    for (int i = 0; i < 2730; ++i)
        m_driver->drawRectangle(~0u, {0, 0, 1, 1}, nullptr);
    m_driver->drawLine({0, 0}, {5, 5}, ~0u);
    m_driver->endScene();
    EXPECT_EQ(indexCounts(), (std::vector<size_t>{0, 16380}));

    // Vertex batches flush when their indices would pass 16382.
    const SVector2f positions[3] = {{0, 0}, {1, 0}, {0, 1}};
    std::vector<uint32_t> indices(16380);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = uint32_t(i % 3);
    const struct
    {
        int second;
        std::vector<size_t> draws;
    } batchCases[] = {{2, {16382}}, {3, {16380, 3}}};
    for (const auto& c : batchCases)
    {
        m_driver->draws.clear();
        m_driver->drawVertexBatch(m_a, positions, positions, nullptr, indices.data(), 3, 16380);
        m_driver->drawVertexBatch(m_a, positions, positions, nullptr, indices.data(), 3, c.second);
        m_driver->endScene();
        EXPECT_EQ(indexCounts(), c.draws);
    }
}

TEST_F(Drawing, VertexBatchesOffsetTheirIndicesAndRefuseStrangers)
{
    const SVector2f positions[3] = {{0, 0}, {800, 0}, {0, 600}};
    const SVector2f uv[3] = {{0, 0}, {1, 0}, {0, 1}};
    const uint32_t colors[3] = {1, 2, 3};
    const uint32_t indices[3] = {0x10002, 1, 0}; // only the low 16 bits count
    m_driver->drawVertexBatch(m_a, positions, uv, colors, indices, 3, 3);
    m_driver->drawVertexBatch(m_a, positions, uv, colors, indices, 3, 3);
    const uint32_t bad[3] = {0, 1, 3};
    m_driver->drawVertexBatch(m_a, positions, uv, colors, bad, 3, 3);
    EXPECT_TRUE(CCapture::logged("names no vertex"));
    m_driver->endScene();
    ASSERT_EQ(m_driver->draws.size(), 1u);
    const SRecordedDraw& d = m_driver->draws[0];
    EXPECT_EQ(d.indices, (std::vector<uint16_t>{2, 1, 0, 5, 4, 3}));
    EXPECT_TRUE(d.alphaChannel);
    EXPECT_TRUE(d.filter2D);
    EXPECT_EQ(d.vertices[4].x, 1.f);
    EXPECT_EQ(d.vertices[5].color, 3u);
}

TEST_F(Drawing, LinesAreMappedAndUntextured)
{
    m_driver->drawLine({0, 600}, {800, 0}, 0xFF00FF00);
    ASSERT_EQ(m_driver->draws.size(), 1u);
    const SRecordedDraw& d = m_driver->draws[0];
    EXPECT_EQ(d.primitiveType, PT_LINE_LIST);
    EXPECT_EQ(d.stride, 12);
    EXPECT_EQ(d.textures[0], nullptr);
    EXPECT_EQ(d.vertices[0].x, -1.f);
    EXPECT_EQ(d.vertices[0].y, -1.f);
    EXPECT_EQ(d.vertices[1].x, 1.f);
    EXPECT_EQ(d.vertices[1].color, 0xFF00FF00u);
}

TEST_F(Drawing, CurveSegments)
{
    const struct
    {
        float segments;
        size_t lines;
    } cases[] = {{0.f, 0}, {-3.f, 0}, {NAN, 0}, {INFINITY, 0}, {4.f, 5}, {0.5f, 2}};
    for (const auto& c : cases)
        for (bool bezier : {true, false})
        {
            SCOPED_TRACE(::testing::Message() << c.segments << (bezier ? " bezier" : " hermite"));
            m_driver->draws.clear();
            if (bezier)
                m_driver->drawBezier({0, 0}, {400, 300}, {100, 0}, {0, 100}, c.segments, ~0u);
            else
                m_driver->drawHermite({0, 0}, {400, 300}, {100, 0}, {0, 100}, c.segments, ~0u);
            ASSERT_EQ(m_driver->draws.size(), c.lines);
            if (c.lines == 0)
                continue;
            const auto& first = m_driver->draws.front().vertices;
            EXPECT_EQ(first[0].x, first[1].x); // a zero-length first segment
            EXPECT_EQ(first[0].y, first[1].y);
            const auto& last = m_driver->draws.back().vertices;
            EXPECT_EQ(last[1].x, m_driver->map2D(400, 300).x);
            EXPECT_EQ(last[1].y, m_driver->map2D(400, 300).y);
        }
}

TEST_F(Drawing, ShaderQuadCarriesCornerColoursAndSecondCoordinates)
{
    const SRecti second = {0, 0, 16, 16};
    const zu::core::SDimension2i secondSize = {32, 32};
    m_driver->drawImage(m_a, {0, 0});
    m_driver->drawShaderQuad({0, 0, 800, 600}, {0, 0, 64, 64}, {64, 64}, &second, &secondSize);
    ASSERT_EQ(m_driver->draws.size(), 2u); // the pending image first
    const SRecordedDraw& d = m_driver->draws[1];
    EXPECT_EQ(d.primitiveType, PT_TRIANGLE_STRIP);
    EXPECT_EQ(d.stride, 32);
    const uint32_t corners[4] = {0x00000000, 0x0000FF00, 0x00FF0000, 0x00FFFF00};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(d.vertices[i].color, corners[i]);
    EXPECT_EQ(d.vertices[3].nx, 15.5f / 32);
    EXPECT_EQ(d.vertices[0].u, 0.5f / 64);
    EXPECT_FALSE(d.alphaChannel);
}

TEST_F(Drawing, ShaderRectScalesItsSourceToTheScreen)
{
    m_driver->installRecordingRenderers();
    m_driver->setTexture(0, m_a);
    m_driver->setRenderScreenSize(400, 300);
    m_driver->drawShaderRect(EMT_SOLID_2_LAYER, {0, 0, 400, 300}, nullptr, nullptr, 0);
    ASSERT_EQ(m_driver->draws.size(), 1u);
    EXPECT_EQ(m_driver->draws[0].boundMaterial, int(EMT_SOLID_2_LAYER));
    // (0, 0, 400, 300) in render pixels is (0, 0, 800, 600) on the screen.
    EXPECT_EQ(m_driver->draws[0].vertices[3].u, 799.5f / 64);
    EXPECT_EQ(m_driver->draws[0].vertices[0].x, -1.f);
    const SRecti second = {0, 0, 8, 8};
    m_driver->drawShaderRect(EMT_SOLID, {0, 0, 4, 4}, nullptr, &second, 1); // stage 1 empty
    EXPECT_EQ(m_driver->draws.back().vertices[3].nx, 0.f);
    EXPECT_TRUE(CCapture::checks().empty());
}

TEST_F(Drawing, TriangleListsAreCheckedBeforeDrawing)
{
    std::vector<S3DVertex> vertices(65537);
    const uint16_t indices[3] = {0, 1, 2};
    m_driver->drawTriangleList(vertices.data(), 65537, indices, 1);
    EXPECT_TRUE(
        CCapture::logged("Could not draw triangles, too many vertices(65537), maximum is 65535."));
    const uint16_t outside[3] = {0, 1, 3};
    m_driver->drawTriangleList(vertices.data(), 3, outside, 1);
    EXPECT_TRUE(CCapture::logged("names no vertex"));
    EXPECT_TRUE(m_driver->draws.empty());

    vertices[2].z = 4.f;
    m_driver->drawTriangleList(vertices.data(), 3, indices, 1);
    ASSERT_EQ(m_driver->draws.size(), 1u);
    EXPECT_EQ(m_driver->draws[0].mode, 2);
    EXPECT_EQ(m_driver->draws[0].stride, 36);
    EXPECT_EQ(m_driver->draws[0].vertices[2].z, 4.f);

    m_driver->draws.clear();
    m_driver->drawBox3D({{0, 0, 0}, {1, 1, 1}}, ~0u);
    EXPECT_EQ(m_driver->draws.size(), 12u);
    EXPECT_EQ(m_driver->draws[0].indices,
              (std::vector<uint16_t>{0, 1, 2, 0, 2, 1, 0, 1, 3, 0, 3, 1}));
}
