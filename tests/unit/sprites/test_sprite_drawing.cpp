// Every way of drawing a frame, checked on the recording driver: corners,
// colours, texture coordinates, sampling and blending, and bundles.
#include "SpriteTestSupport.h"

#include "core/CMatrix4.h"

#include <cmath>

using kelvo::video::CSpritePackage;
using pellora::spritepack::CSpriteWriter;
using spritetest::SPackageBytes;
using videotest::SRecordedDraw;
using namespace zu::video;

namespace
{

// What one vertex should be, with its position in render pixels.
struct SVertex
{
    float x, y;
    uint32_t color;
    float u, v;
};

class SpriteDrawing : public spritetest::SpriteTest
{
  protected:
    // Image 0: 10 x 20 at (8, 16) of a 64-pixel page, offset (-5, -7).
    // Image 1: 10 x 4 at (0, 0), offset (0, 0).
    void SetUp() override
    {
        SPackageBytes file;
        file.header(3, 64, 1, 1, 2, 0, 2);
        file.putBytes(std::vector<uint8_t>(64 * 64 * 4, 0xFF));
        file.image(0, -5, -7, 0, 8, 16, 10, 20);
        file.image(1, 0, 0, 0, 0, 0, 10, 4);
        file.animation("big", {0}, {1}, {100});
        file.animation("flat", {1}, {1}, {100});
        m_package = load("draw.spr", file.bytes);
        ASSERT_TRUE(m_package);
        m_big = m_package->createState("big");
        m_flat = m_package->createState("flat");
        ASSERT_TRUE(m_big && m_flat);
        m_page = m_big->getTexture(0);
    }
    void TearDown() override
    {
        m_big->release();
        m_flat->release();
        SpriteTest::TearDown();
    }

    // The draws handed to the driver so far.
    const std::vector<SRecordedDraw>& flushed()
    {
        m_driver->endScene();
        return m_driver->draws;
    }
    void expectVertices(const SRecordedDraw& draw, size_t first,
                        const std::vector<SVertex>& expected)
    {
        ASSERT_GE(draw.vertices.size(), first + expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
        {
            SCOPED_TRACE("vertex " + std::to_string(first + i));
            const SVector2f at = m_driver->map2D(expected[i].x, expected[i].y);
            const videotest::SRecordedVertex& v = draw.vertices[first + i];
            EXPECT_NEAR(v.x, at.x, 1e-5f);
            EXPECT_NEAR(v.y, at.y, 1e-5f);
            EXPECT_EQ(v.color, expected[i].color);
            EXPECT_NEAR(v.u, expected[i].u, 1e-6f);
            EXPECT_NEAR(v.v, expected[i].v, 1e-6f);
        }
    }
    // Texture coordinates of a page rectangle, pulled in by half a texel.
    static float u(float x, bool right) { return (x + (right ? -0.5f : 0.5f)) / 64.f; }

    CSpritePackage* m_package = nullptr;
    ISpriteAnimationState* m_big = nullptr;
    ISpriteAnimationState* m_flat = nullptr;
    ITexture* m_page = nullptr;
};

} // namespace

TEST_F(SpriteDrawing, AtAPointByTheFrameOffset)
{
    m_big->drawAt({100, 50}, nullptr, 0x80FF0000);
    const SRecti clip = {0, 0, 100, 60};
    m_big->drawAt({100, 50}, &clip, 0xFF00FF00);
    ASSERT_EQ(flushed().size(), 1u);
    const SRecordedDraw& d = m_driver->draws[0];
    EXPECT_EQ(d.textures[0], m_page);
    EXPECT_TRUE(d.alphaChannel);
    EXPECT_FALSE(d.filter2D); // point sampled
    const float u0 = u(8, false), u1 = u(18, true), v0 = u(16, false), v1 = u(36, true);
    expectVertices(d, 0,
                   {{95, 43, 0x80FF0000, u0, v0},
                    {105, 43, 0x80FF0000, u1, v0},
                    {95, 63, 0x80FF0000, u0, v1},
                    {105, 63, 0x80FF0000, u1, v1}});
    // Clipped: squeezed into the clip, same texture rectangle.
    expectVertices(d, 4,
                   {{95, 43, 0xFF00FF00, u0, v0},
                    {100, 43, 0xFF00FF00, u1, v0},
                    {95, 60, 0xFF00FF00, u0, v1},
                    {100, 60, 0xFF00FF00, u1, v1}});
}

TEST_F(SpriteDrawing, ScaledRotatedMirroredAndFreeShape)
{
    const float u0 = u(8, false), u1 = u(18, true), v0 = u(16, false), v1 = u(36, true);
    const uint32_t c = 0xFF123456;
    struct SCase
    {
        const char* name;
        std::function<void()> draw;
        std::vector<SVertex> vertices; // top-left, top-right, bottom-left, bottom-right
    };
    const uint32_t corners[4] = {1, 2, 3, 4}; // top-left, bottom-left, bottom-right, top-right
    const SCase cases[] = {
        {"scaled",
         [&] {
             m_big->drawScaled({10.5f, 20}, 2.f, c);
         },
         {{0.5f, 6, c, u0, v0},
          {20.5f, 6, c, u1, v0},
          {0.5f, 46, c, u0, v1},
          {20.5f, 46, c, u1, v1}}},
        // A quarter turn: local (u, v) lands at (100 - v, 100 + u).
        {"rotated",
         [&] {
             m_big->drawRotated({100, 100}, 1.57079633f, 1.f, corners);
         },
         {{107, 95, 1, u0, v0}, {107, 105, 4, u1, v0}, {87, 95, 2, u0, v1}, {87, 105, 3, u1, v1}}},
        // 10 wide, offset 0, at x 100: from 91 to 101, the texture's left at the right.
        {"mirrored",
         [&] {
             m_flat->drawMirrored({100, 50}, 1.f, c);
         },
         {{101, 50, c, u(0, false), u(0, false)},
          {91, 50, c, u(10, true), u(0, false)},
          {101, 54, c, u(0, false), u(4, true)},
          {91, 54, c, u(10, true), u(4, true)}}},
        {"free shape",
         [&] {
             m_big->drawFreeShape({1, 2}, {30, 3}, {4, 50}, {60, 70}, corners);
         },
         {{1, 2, 1, u0, v0}, {30, 3, 4, u1, v0}, {4, 50, 2, u0, v1}, {60, 70, 3, u1, v1}}},
    };
    for (const SCase& test : cases)
    {
        SCOPED_TRACE(test.name);
        m_driver->draws.clear();
        test.draw();
        ASSERT_EQ(flushed().size(), 1u);
        EXPECT_TRUE(m_driver->draws[0].alphaChannel);
        EXPECT_TRUE(m_driver->draws[0].filter2D);
        EXPECT_EQ(m_driver->draws[0].vertices.size(), 4u);
        expectVertices(m_driver->draws[0], 0, test.vertices);
    }
}

TEST_F(SpriteDrawing, NineAndCornerColours)
{
    const SVector2f corners[4] = {{0, 0}, {40, 0}, {0, 20}, {40, 20}};
    const uint32_t grid[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_TRUE(m_big->drawNineColor(corners, grid));
    ASSERT_EQ(flushed().size(), 1u);
    // Four quarters, each with the grid colours at its own corners and a
    // quarter of the source rectangle (8, 16)-(18, 36), split at (13, 26).
    const SRecordedDraw& d = m_driver->draws[0];
    ASSERT_EQ(d.vertices.size(), 16u);
    expectVertices(d, 0,
                   {{0, 0, 1, u(8, false), u(16, false)},
                    {20, 0, 2, u(13, true), u(16, false)},
                    {0, 10, 4, u(8, false), u(26, true)},
                    {20, 10, 5, u(13, true), u(26, true)}});
    expectVertices(d, 4,
                   {{20, 0, 2, u(13, false), u(16, false)},
                    {40, 0, 3, u(18, true), u(16, false)},
                    {20, 10, 5, u(13, false), u(26, true)},
                    {40, 10, 6, u(18, true), u(26, true)}});
    expectVertices(d, 8,
                   {{0, 10, 4, u(8, false), u(26, false)},
                    {20, 10, 5, u(13, true), u(26, false)},
                    {0, 20, 7, u(8, false), u(36, true)},
                    {20, 20, 8, u(13, true), u(36, true)}});
    expectVertices(d, 12,
                   {{20, 10, 5, u(13, false), u(26, false)},
                    {40, 10, 6, u(18, true), u(26, false)},
                    {20, 20, 8, u(13, false), u(36, true)},
                    {40, 20, 9, u(18, true), u(36, true)}});

    m_driver->draws.clear();
    EXPECT_TRUE(m_big->drawCornerColor(corners, grid));
    ASSERT_EQ(flushed().size(), 1u);
    expectVertices(m_driver->draws[0], 0,
                   {{0, 0, 1, u(8, false), u(16, false)},
                    {40, 0, 3, u(18, true), u(16, false)},
                    {0, 20, 7, u(8, false), u(36, true)},
                    {40, 20, 9, u(18, true), u(36, true)}});
}

TEST_F(SpriteDrawing, ThreeDimensionalQuad)
{
    m_driver->installRecordingRenderers();
    for (bool mirrored : {false, true})
    {
        SCOPED_TRACE(mirrored);
        m_driver->draws.clear();
        m_driver->setTransform(ETS_WORLD, zu::core::CMatrix4());
        m_big->draw3D({1, 2, 3}, 0.f, 1.f, mirrored, 0x11223344);
        ASSERT_EQ(m_driver->draws.size(), 1u);
        const SRecordedDraw& d = m_driver->draws[0];
        EXPECT_EQ(d.mode, 2);
        EXPECT_EQ(d.boundMaterial, EMT_TRANSPARENT_ALPHA_CHANNEL);
        EXPECT_EQ(d.indices, (std::vector<uint16_t>{0, 2, 1, 0, 3, 2}));
        const MaterialState& material = m_driver->getMaterial();
        EXPECT_EQ(material.Textures[0], m_page);
        EXPECT_FALSE(material.Lighting);
        EXPECT_FALSE(material.BackfaceCulling);
        EXPECT_EQ(material.DiffuseColor, 0x00000001u);
        EXPECT_TRUE(m_driver->getTransform(ETS_WORLD).isIdentity());
        // Local x from -5 (or 1 + 5 - 10 = -4 mirrored), y up: bottom first.
        const float left = mirrored ? -4.f : -5.f;
        const float uLeft = (mirrored ? 18.f : 8.f) / 64.f, uRight = (mirrored ? 8.f : 18.f) / 64.f;
        const float expected[4][4] = {{1 + left, 2 - 13, uLeft, 36 / 64.f},
                                      {1 + left + 10, 2 - 13, uRight, 36 / 64.f},
                                      {1 + left + 10, 2 + 7, uRight, 16 / 64.f},
                                      {1 + left, 2 + 7, uLeft, 16 / 64.f}};
        ASSERT_EQ(d.vertices.size(), 4u);
        for (int i = 0; i < 4; ++i)
        {
            SCOPED_TRACE(i);
            EXPECT_FLOAT_EQ(d.vertices[size_t(i)].x, expected[i][0]);
            EXPECT_FLOAT_EQ(d.vertices[size_t(i)].y, expected[i][1]);
            EXPECT_EQ(d.vertices[size_t(i)].z, 3.f);
            EXPECT_FLOAT_EQ(d.vertices[size_t(i)].u, expected[i][2]);
            EXPECT_FLOAT_EQ(d.vertices[size_t(i)].v, expected[i][3]);
            EXPECT_EQ(d.vertices[size_t(i)].color, 0x11223344u);
            EXPECT_EQ(d.vertices[size_t(i)].nx + d.vertices[size_t(i)].ny, 0.f);
        }
    }
}

TEST_F(SpriteDrawing, BundleOfFourPartsInTwoColumns)
{
    CSpriteWriter writer;
    writer.setPageSize(256);
    writer.addImage(spritetest::solid(512, 512, 0xFF808080).data(), 512, 512, 3, 4);
    writer.addAnimation("huge", {{0}});
    CSpritePackage* package = load("huge.spr", spritetest::written(writer, 4));
    ASSERT_TRUE(package);
    ISpriteAnimationState* huge = package->createState("huge");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->getSize(0), (zu::core::SDimension2i{512, 512}));
    EXPECT_EQ(huge->getOriginalSize(0), (zu::core::SDimension2i{512, 512}));
    EXPECT_EQ(huge->getOffset(0).x, -3);

    m_driver->draws.clear();
    huge->drawScaled({0, 0}, 1.f, 0xFFFFFFFF); // bundles only draw at a point
    huge->drawAt({10, 20}, nullptr, 0xFFFFFFFF);
    ASSERT_EQ(flushed().size(), 4u); // one page each
    const int corners[4][2] = {{7, 16}, {263, 16}, {7, 272}, {263, 272}};
    for (size_t k = 0; k < 4; ++k)
    {
        SCOPED_TRACE(k);
        const SRecordedDraw& d = m_driver->draws[k];
        EXPECT_TRUE(d.alphaChannel);
        const float x = float(corners[k][0]), y = float(corners[k][1]);
        const uint32_t w = 0xFFFFFFFF;
        const float a = 0.5f / 256, b = 255.5f / 256;
        expectVertices(d, 0,
                       {{x, y, w, a, a},
                        {x + 256, y, w, b, a},
                        {x, y + 256, w, a, b},
                        {x + 256, y + 256, w, b, b}});
    }
    huge->release();
}
