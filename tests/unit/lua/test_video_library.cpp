// The script table `video` on the recording driver: sprite-state slots, the
// argument-count rules of the draw functions, clearing, render sizes, render
// targets and centred text, checked by what reaches the driver.
#include "LuaTestState.h"
#include "io/IoTestSupport.h"
#include "video/CRecordingDriver.h"

#include "CSpriteWriter.h"
#include "gui/CGUIEnvironment.h"
#include "gui/IGUIFont.h"
#include "gui/IGUISkin.h"
#include "io/CFileSystem.h"
#include "lua/CLuaVideoLibrary.h"
#include "video/ITexture.h"

#include <gtest/gtest.h>

#include <vector>

using luatest::CState;

namespace
{

// Records clears as well as draws.
class CClearRecorder : public videotest::CRecordingDriver
{
public:
    using CRecordingDriver::CRecordingDriver;
    void clearScreen(bool zBuffer, uint32_t color) override
    {
        clears.push_back({zBuffer, color});
    }
    struct SClear
    {
        bool zBuffer;
        uint32_t color;
    };
    std::vector<SClear> clears;
};

class VideoLibraryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = iotest::makeScratchFolder("video-library");
        package = folder + "/sprites.spr";
        // A 4 x 4 opaque red image in two animations.
        std::vector<uint8_t> red(4 * 4 * 4);
        for (size_t i = 0; i < red.size(); i += 4)
        {
            red[i] = 255;
            red[i + 3] = 255;
        }
        pellora::spritepack::CSpriteWriter writer;
        writer.setTrim(false);
        const int image = writer.addImage(red.data(), 4, 4, 2, 2);
        writer.addAnimation("run", {{image, 100, 1}});
        writer.addAnimation("walk", {{image, 100, 1}});
        writer.addAnimation("7", {{image, 100, 1}}); // found by number too
        std::string error;
        ASSERT_TRUE(writer.writeFile(package, 4, error)) << error;

        fs = new kelvo::io::CFileSystem();
        driver = new CClearRecorder(fs, {800, 600});
        gui = new kelvo::gui::CGUIEnvironment(fs, driver);
        library = new zu::lua::CLuaVideoLibrary(driver, gui, nullptr);
        library->install(state.L);
        state.run("PACKAGE = '" + package + "'");
    }
    void TearDown() override
    {
        state.close();
        delete library;
        gui->drop();
        driver->drop();
        fs->drop();
    }
    // The pixel x of a recorded 2D vertex.
    float pixelX(float ndcX) const { return ndcX / driver->getNdcScaleX() - float(driver->getNdcOffsetX()); }

    std::string folder, package;
    CState state;
    kelvo::io::CFileSystem* fs = nullptr;
    CClearRecorder* driver = nullptr;
    kelvo::gui::CGUIEnvironment* gui = nullptr;
    zu::lua::CLuaVideoLibrary* library = nullptr;
};

} // namespace

TEST_F(VideoLibraryTest, SlotsAreReusedLowestFirst)
{
    EXPECT_EQ(state.run("return video.createSpriteState('run', PACKAGE), "
                        "video.createSpriteState(7, PACKAGE)"),
              "0,1");
    state.run("video.removeSpriteState(0)");
    EXPECT_EQ(state.run("return video.createSpriteState('walk', PACKAGE)"), "0");
    EXPECT_EQ(state.run("return video.createSpriteState('run', PACKAGE)"), "2");
    EXPECT_EQ(state.run("return video.getSpriteStateSize(2)"), "4,4");
    EXPECT_EQ(state.run("return video.getSpriteStateHotspot(2)"), "2,2");

    // Refusals: unknown animation, short path, too few arguments, bad slots.
    EXPECT_EQ(state.run("return video.createSpriteState('ru', PACKAGE)"), "-1");
    EXPECT_EQ(state.run("return video.createSpriteState('run', 'a.sp')"), "-1");
    EXPECT_EQ(state.run("return video.createSpriteState('run')"), "-1");
    EXPECT_EQ(state.run("return video.getSpriteStateSize(7)"), "");
    EXPECT_EQ(state.run("return video.updateSpriteState(-1, 1)"), "false");
    EXPECT_EQ(state.run("return video.getSpriteStateTexture('x')"), "nil");
    EXPECT_EQ(state.run("local t = video.getSpriteStateNames(PACKAGE, 'al') return #t, t[1]"),
              "1,walk");

    // Nothing is made or removed while frameRender runs.
    library->setInRender(true);
    EXPECT_EQ(state.run("return video.createSpriteState('run', PACKAGE)"), "-1");
    state.run("video.removeSpriteState(0)");
    library->setInRender(false);
    EXPECT_EQ(library->getSlotCount(), 3);
    EXPECT_TRUE(library->getState(0));
}

TEST_F(VideoLibraryTest, RenderSpriteStateReadsItsColourByArgumentCount)
{
    ASSERT_EQ(state.run("return video.createSpriteState('run', PACKAGE)"), "0");
    struct Case
    {
        const char* call;
        uint32_t colour;
    };
    const Case cases[] = {
        {"video.renderSpriteState(0, 10, 20)", 0xFFFFFFFF},
        {"video.renderSpriteState(0, 10, 20, 1, 0, 128)", 0x80FFFFFF},
        {"video.renderSpriteState(0, 10, 20, 1, 0, 128, 1, 2)", 0x80FFFFFF},
        {"video.renderSpriteState(0, 10, 20, 1, 0, 128, 1, 2, 3)", 0x80010203},
        {"video.renderSpriteState(0, 10, 20, 1, 0, 300, 1, 2, 3)", 0x2C010203},
    };
    for (const Case& c : cases)
    {
        driver->draws.clear();
        state.run(c.call);
        driver->flush2D();
        ASSERT_EQ(driver->draws.size(), 1u) << c.call;
        ASSERT_EQ(driver->draws[0].vertices.size(), 4u) << c.call;
        for (const auto& v : driver->draws[0].vertices)
            EXPECT_EQ(v.color, c.colour) << c.call;
    }
    // Unscaled and unrotated at (10, 20): the hotspot (2, 2) lands there.
    float left = 1e9f;
    for (const auto& v : driver->draws[0].vertices)
        left = std::min(left, pixelX(v.x));
    EXPECT_FLOAT_EQ(left, 8.f);

    driver->draws.clear();
    state.run("video.renderSpriteState(0, 10)");
    state.run("video.renderSpriteState(9, 10, 20)");
    driver->flush2D();
    EXPECT_TRUE(driver->draws.empty());
}

TEST_F(VideoLibraryTest, ClearScreenAndRenderSizes)
{
    state.run("video.clearScreen(0, 0, 0, 255) video.clearScreen(0, 0, 0) video.clearScreen()");
    ASSERT_EQ(driver->clears.size(), 3u);
    EXPECT_TRUE(driver->clears[0].zBuffer);
    EXPECT_EQ(driver->clears[0].color, 0xFF000000u);
    EXPECT_FALSE(driver->clears[1].zBuffer);
    EXPECT_EQ(driver->clears[1].color, 0x01000000u);
    EXPECT_EQ(driver->clears[2].color, 0x01000000u);

    state.run("video.setRenderScreenSize(400, 300)");
    EXPECT_EQ(driver->getRenderSize().width, 400);
    state.run("video.setRenderScreenSize(0, 0)");
    EXPECT_EQ(driver->getRenderSize().width, 400);
    state.run("video.setRenderScreenSize()");
    EXPECT_EQ(driver->getRenderSize().width, 800);
    EXPECT_EQ(state.run("return video.getScreenSize()"), "800,600");
}

TEST_F(VideoLibraryTest, RenderTargetsAreSelectedByName)
{
    EXPECT_EQ(state.run("return video.setActiveRenderTarget('missing')"), "0,0");
    EXPECT_EQ(state.run("return video.setActiveRenderTarget()"), "0,0");
    state.run("video.createRenderTarget('rt', 64, 32)");
    EXPECT_EQ(state.run("return video.setActiveRenderTarget('rt')"), "64,32");
    ASSERT_TRUE(driver->getRenderTarget());
    EXPECT_EQ(driver->getRenderTarget()->getName(), zu::core::CString("rt"));
    EXPECT_EQ(state.run("return video.setActiveRenderTarget(nil)"), "800,600");
    EXPECT_EQ(driver->getRenderTarget(), nullptr);
    state.run("video.createRenderTarget('screen')");
    EXPECT_EQ(state.run("return video.getTextureSize('screen')"), "800,600");
    state.run("video.destroyRenderTarget('rt')");
    EXPECT_EQ(driver->findTexture("rt"), nullptr);
}

TEST_F(VideoLibraryTest, RenderTextAlignsOnX)
{
    zu::gui::IGUIFont* font = gui->getSkin()->getFont();
    ASSERT_TRUE(font);
    const int32_t width = font->getDimension("abc").width;
    ASSERT_GT(width, 0);
    EXPECT_EQ(state.run("return video.getTextSize('abc')"),
              std::to_string(width) + "," + std::to_string(font->getDimension("abc").height));
    for (int align = 0; align <= 2; ++align)
    {
        driver->draws.clear();
        state.run("video.renderText('abc', 100, 10, " + std::to_string(align) + ")");
        driver->flush2D();
        ASSERT_FALSE(driver->draws.empty());
        float left = 1e9f;
        for (const auto& draw : driver->draws)
            for (const auto& v : draw.vertices)
                left = std::min(left, pixelX(v.x));
        const float expected = 100.f - float(align == 1 ? width / 2 : align == 2 ? width : 0);
        // The first glyph may start a pixel inside its cell.
        EXPECT_NEAR(left, expected, 2.f) << "align " << align;
    }
    EXPECT_NE(state.run("return pcall(video.renderText, {})").find("WChar expected, got table"),
              std::string::npos);
}
