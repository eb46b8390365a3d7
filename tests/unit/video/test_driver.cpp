// The null driver's state: sizes and the 2D mapping, texture flags, the
// texture cache, colour keys, material renderers, the frame-rate counter and
// screenshots.
#include "CRecordingDriver.h"
#include "VideoTestSupport.h"

#include "video/ITexture.h"
#include "video/null/CImage.h"
#include "video/null/CNullTexture.h"

#include <cstring>

using kelvo::video::CImage;
using kelvo::video::CVideoNull;
using videotest::CCapture;
using videotest::CRecordingDriver;
using zu::core::SDimension2i;
using namespace zu::video;

namespace
{

class Driver : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_driver->drop();
        m_fs->drop();
    }

    ITexture* textureOf(ECOLOR_FORMAT format, const std::vector<uint32_t>& argb, int width,
                        const char* name)
    {
        CImage source(ECF_A8R8G8B8, {width, int(argb.size()) / width});
        memcpy(source.lock(), argb.data(), argb.size() * 4);
        IImage* image = format == ECF_A8R8G8B8 || format == ECF_A1R5G5B5
                            ? new CImage(format, &source)
                            : new CImage(format, source.getSize());
        if (format == ECF_R8G8B8 || format == ECF_R5G6B5)
            static_cast<CImage*>(image)->clear();
        ITexture* texture = m_driver->addTexture(image, name);
        image->drop();
        return texture;
    }

    CCapture m_capture;
    kelvo::io::CFileSystem* m_fs = new kelvo::io::CFileSystem();
    CRecordingDriver* m_driver = new CRecordingDriver(m_fs, {800, 600});
};

uint32_t g_milliseconds = 0;
int64_t g_seconds = 0;
uint32_t testMilliseconds() { return g_milliseconds; }
int64_t testSeconds() { return g_seconds; }

} // namespace

TEST_F(Driver, TwoDimensionalMapping)
{
    const struct
    {
        int width, height, originX, originY;
        float scaleX, scaleY;
        int offsetX, offsetY;
    } cases[] = {
        {641, 481, 0, 0, 1.f / 321, 1.f / 241, -321, 241},
        {800, 600, 0, 0, 1.f / 400, 1.f / 300, -400, 300},
        {800, 600, 10, 20, 1.f / 400, 1.f / 300, -390, 280},
        {1, 1, 0, 0, 1.f, 1.f, -1, 1},
    };
    for (const auto& c : cases)
    {
        m_driver->setRenderScreenSize(c.width, c.height);
        m_driver->set2DOrigin(c.originX, c.originY);
        EXPECT_EQ(m_driver->getNdcScaleX(), c.scaleX);
        EXPECT_EQ(m_driver->getNdcScaleY(), c.scaleY);
        EXPECT_EQ(m_driver->getNdcOffsetX(), c.offsetX);
        EXPECT_EQ(m_driver->getNdcOffsetY(), c.offsetY);
        m_driver->set2DOrigin(0, 0);
    }
    m_driver->setRenderScreenSize(800, 600);
    SVector2f topLeft = m_driver->map2D(0, 0), bottomRight = m_driver->map2D(800, 600);
    EXPECT_EQ(topLeft.x, -1.f);
    EXPECT_EQ(topLeft.y, 1.f);
    EXPECT_EQ(bottomRight.x, 1.f);
    EXPECT_EQ(bottomRight.y, -1.f);
}

TEST_F(Driver, RenderSizeFallsBackToScreenSize)
{
    m_driver->setRenderScreenSize(320, 240);
    EXPECT_EQ(m_driver->getRenderSize(), (SDimension2i{320, 240}));
    EXPECT_EQ(m_driver->getScreenSize(), (SDimension2i{800, 600}));
    m_driver->setRenderScreenSize(0, 0);
    EXPECT_EQ(m_driver->getRenderSize(), (SDimension2i{800, 600}));
    m_driver->setRenderScreenSize(320, 240);
    m_driver->setRenderScreenSize(-3, 100);
    EXPECT_EQ(m_driver->getRenderSize(), (SDimension2i{800, 600}));
    m_driver->onResize({1024, 768});
    EXPECT_EQ(m_driver->getRenderSize(), (SDimension2i{1024, 768}));
    EXPECT_EQ(m_driver->getNdcOffsetX(), -512);
}

TEST_F(Driver, TextureFlags)
{
    EXPECT_EQ(m_driver->getTextureCreationFlags(), 8u);
    const struct
    {
        uint32_t flag;
        bool on;
        uint32_t after;
    } steps[] = {{4, true, 4}, {16, true, 20}, {1, true, 17}, {16, false, 1}, {8, true, 8},
                 {8, false, 0}, {2, true, 2}};
    for (const auto& s : steps)
    {
        m_driver->setTextureFlag(s.flag, s.on);
        EXPECT_EQ(m_driver->getTextureCreationFlags(), s.after);
        EXPECT_EQ(m_driver->getTextureFlag(s.flag), s.on);
    }
}

TEST_F(Driver, TextureCacheLoadsOnceAndRefusesEmptyNames)
{
    ASSERT_FALSE(videotest::fixtureFolder().empty());
    const zu::core::CString path = videotest::fixture("plain24.tga").c_str();
    ITexture* first = m_driver->getTexture(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_driver->getTexture(path), first);
    EXPECT_EQ(m_driver->getTextureCount(), 1);
    EXPECT_EQ(first->getReferenceCount(), 1); // the cache's only
    EXPECT_EQ(first->getSize(), (SDimension2i{37, 23}));
    EXPECT_TRUE(CCapture::logged("Loaded texture"));

    // Another spelling of the same file finds the cached texture; once it has,
    // the file is not opened again for it.
    m_fs->addDirAlias("$FIXTURES$", videotest::fixtureFolder().c_str());
    const zu::core::CString detour = "$FIXTURES$/plain24.tga";
    CCapture::lines().clear();
    EXPECT_EQ(m_driver->getTexture(detour), first);
    const std::string moved = videotest::fixture("plain24.moved");
    ASSERT_EQ(rename(path.c_str(), moved.c_str()), 0);
    EXPECT_EQ(m_driver->getTexture(detour), first);
    ASSERT_EQ(rename(moved.c_str(), path.c_str()), 0);
    EXPECT_EQ(m_driver->getTextureCount(), 1);
    EXPECT_FALSE(CCapture::logged("Loaded texture"));

    EXPECT_EQ(m_driver->getTexture(zu::core::CString("")), nullptr);
    EXPECT_EQ(m_driver->findTexture(""), nullptr);
    EXPECT_EQ(m_driver->addTexture({4, 4}, "", ECF_A8R8G8B8, false), nullptr);
    EXPECT_EQ(m_driver->addTexture({4, 4}, "", ECF_A8R8G8B8, true), nullptr);
    EXPECT_EQ(m_driver->getTexture(zu::core::CString("/no/such/file.bmp")), nullptr);
    EXPECT_EQ(m_driver->getTextureCount(), 1);
    EXPECT_TRUE(CCapture::checks().empty());

    iotest::writeDiskFile(videotest::fixture("garbage.bmp"), "BM not really");
    CCapture::lines().clear();
    EXPECT_EQ(m_driver->getTexture(videotest::fixture("garbage.bmp").c_str()), nullptr);
    EXPECT_TRUE(CCapture::logged("Could not load texture"));

    ITexture* target = m_driver->addTexture({16, 8}, "target", ECF_A8R8G8B8, true);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->getReferenceCount(), 1);
    EXPECT_EQ(m_driver->addTexture({16, 8}, "target", ECF_A8R8G8B8, false), nullptr);
    EXPECT_EQ(m_driver->addTexture({0, 8}, "flat", ECF_A8R8G8B8, false), nullptr);

    m_driver->setMaterial([&] {
        MaterialState m;
        m.Textures[0] = first;
        return m;
    }());
    m_driver->setRenderTarget(target);
    m_driver->removeTexture(path);
    m_driver->removeTexture(target);
    EXPECT_EQ(m_driver->getTextureCount(), 0);
    // Nothing keeps naming a texture that is gone.
    EXPECT_EQ(m_driver->getMaterial().Textures[0], nullptr);
    EXPECT_EQ(m_driver->getRenderTarget(), nullptr);
}

TEST_F(Driver, ColorKeysPerFormat)
{
    const uint32_t key = 0xFF00FF00, other = 0x80123456;
    const struct
    {
        ECOLOR_FORMAT format;
        bool keyed;
        uint32_t keyedPixel, otherPixel; // as getPixel reads them back
    } cases[] = {
        {ECF_A8R8G8B8, true, 0x00000000, 0xFF123456},
        {ECF_A1R5G5B5, true, 0x00000000, 0xFF103050},
        {ECF_R8G8B8, false, 0, 0},
        {ECF_R5G6B5, false, 0, 0},
    };
    int n = 0;
    for (const auto& c : cases)
        for (bool byPosition : {false, true})
        {
            SCOPED_TRACE(::testing::Message() << c.format << (byPosition ? " position" : " color"));
            CCapture::lines().clear();
            std::string name = "key" + std::to_string(n++);
            ITexture* texture = textureOf(c.format, {other, key, other, key}, 2, name.c_str());
            ASSERT_NE(texture, nullptr);
            std::vector<uint8_t> before(size_t(texture->getPitch()) * 2);
            memcpy(before.data(), texture->lock(), before.size());
            if (byPosition)
                m_driver->applyColorKey(texture, SPosition2i{1, 0});
            else
                m_driver->applyColorKey(texture, key);
            IImage* pixels = static_cast<kelvo::video::CNullTexture*>(texture)->getImage();
            if (c.keyed)
            {
                EXPECT_EQ(pixels->getPixel(1, 0), c.keyedPixel);
                EXPECT_EQ(pixels->getPixel(1, 1), c.keyedPixel);
                EXPECT_EQ(pixels->getPixel(0, 0), c.otherPixel);
            }
            else
            {
                EXPECT_TRUE(CCapture::logged(
                    "Error: Unsupported texture color format for making color key channel."));
                EXPECT_EQ(memcmp(before.data(), texture->lock(), before.size()), 0);
            }
        }
    ITexture* texture = m_driver->findTexture("key0");
    m_driver->applyColorKey(texture, SPosition2i{2, 0});
    EXPECT_TRUE(CCapture::logged("outside the texture"));
    m_driver->applyColorKey(nullptr, 0u);
}

TEST_F(Driver, MaterialTypesWithoutRendererFallBackToSolid)
{
    EXPECT_EQ(m_driver->getRendererCount(), 15);
    EXPECT_EQ(m_driver->getRenderer(15), nullptr);
    EXPECT_EQ(m_driver->getRenderer(2), m_driver->getRenderer(8)); // one lightmap renderer
    EXPECT_TRUE(m_driver->getRenderer(12)->isTransparent());
    m_driver->installRecordingRenderers();

    MaterialState material;
    material.MaterialType = -1;
    m_driver->setMaterial(material);
    m_driver->setUseMaterialFor2D(true);
    m_driver->drawRectangle(0xFFFFFFFF, {0, 0, 2, 2}, nullptr);
    m_driver->endScene();
    ASSERT_EQ(m_driver->draws.size(), 1u);
    EXPECT_EQ(m_driver->draws[0].boundMaterial, 0);
    EXPECT_EQ(m_driver->events, (std::vector<std::string>{"bind 0 as 0"}));

    material.MaterialType = 40;
    m_driver->setMaterial(material);
    m_driver->prepare3DStates();
    m_driver->prepare3DStates();
    int reports = 0;
    for (const std::string& line : CCapture::lines())
        reports += line.find("has no renderer") != std::string::npos;
    EXPECT_EQ(reports, 2); // once for -1, once for 40

    m_driver->draws.clear();
    for (int type : {-1, 15, 1000})
        m_driver->drawShaderRect(type, {0, 0, 10, 10}, nullptr, nullptr, 0);
    m_driver->drawShaderFullscreen(-1);
    EXPECT_TRUE(m_driver->draws.empty());
    EXPECT_TRUE(CCapture::logged("the shader rectangle is skipped"));
    EXPECT_TRUE(CCapture::checks().empty());
}

TEST_F(Driver, FrameRateOverTwoSecondWindows)
{
    g_milliseconds = 1000;
    m_driver->setClocks(testMilliseconds, testSeconds);
    for (int i = 0; i < 50; ++i)
        m_driver->endScene();
    EXPECT_EQ(m_driver->getFPS(), 0);
    g_milliseconds = 3500; // 2.5 s: the hundred the counter starts with, and 51 frames
    m_driver->endScene();
    EXPECT_EQ(m_driver->getFPS(), 60);
    for (int i = 0; i < 29; ++i)
        m_driver->endScene();
    g_milliseconds = 6500;
    m_driver->endScene();
    EXPECT_EQ(m_driver->getFPS(), 10);
}

TEST_F(Driver, ScreenshotNamesCountWithinOneSecond)
{
    std::string folder = iotest::makeScratchFolder("shots") + "/";
    g_seconds = 1700000000;
    m_driver->setClocks(testMilliseconds, testSeconds);
    ITexture* texture = textureOf(ECF_A8R8G8B8, std::vector<uint32_t>(16 * 16, 0xFF336699), 16,
                                  "shot");
    for (int i = 0; i < 11; ++i)
        ASSERT_TRUE(m_driver->writeScreenshot(folder.c_str(), "", texture));
    for (const char* suffix : {"-00", "-01", "-09", "-10"})
        EXPECT_TRUE(iotest::fileExists(folder + "Screen-1700000000" + suffix + ".jpg")) << suffix;
    EXPECT_FALSE(iotest::fileExists(folder + "Screen-1700000000-11.jpg"));
    EXPECT_FALSE(iotest::fileExists(folder + "Screen-1700000000-010.jpg"));

    ASSERT_TRUE(m_driver->writeScreenshot(folder.c_str(), "level", texture));
    EXPECT_TRUE(iotest::fileExists(folder + "level1700000000-00.jpg"));

    // A real decoder reads back what was written (quality 100).
    std::string decoded = folder + "decoded.ppm";
    ASSERT_EQ(iotest::runTool({"sh", "-c",
                               "djpeg -pnm '" + folder + "Screen-1700000000-00.jpg' > '" +
                                   decoded + "'"}),
              0);
    videotest::SPixels pixels = videotest::readPPM(decoded);
    ASSERT_EQ(pixels.width, 16);
    ASSERT_EQ(pixels.height, 16);
    for (size_t i = 0; i < pixels.rgb.size(); i += 3)
    {
        EXPECT_NEAR(pixels.rgb[i], 0x33, 1);
        EXPECT_NEAR(pixels.rgb[i + 1], 0x66, 1);
        EXPECT_NEAR(pixels.rgb[i + 2], 0x99, 1);
    }
    // The null driver has no back buffer to save.
    EXPECT_FALSE(m_driver->writeScreenshot(folder.c_str(), "", nullptr));
}

TEST_F(Driver, CachesOfPackagesFailCleanly)
{
    EXPECT_EQ(m_driver->getSpritePackage("", false, true), nullptr);
    EXPECT_EQ(m_driver->getSpritePackage("/no/such.spr", false, true), nullptr);
    EXPECT_TRUE(CCapture::logged("Could not find a sprite package file"));
    EXPECT_EQ(m_driver->getParticlePackage("/no/such.par"), nullptr);
    EXPECT_TRUE(CCapture::logged("Could not load particle package"));
    EXPECT_EQ(m_driver->findSpritePackage(""), nullptr);
    EXPECT_TRUE(CCapture::checks().empty());
}
