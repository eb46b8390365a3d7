// The OpenGL driver on a real window (a virtual X server in CI): pixels read
// back from the frame, compared with exact values or with small PNG
// references (see WindowTestSupport.h).
#include "core/CMatrix4.h"
#include "core/Output.h"
#include "platform/CDeviceSDL.h"
#include "video/ISpriteAnimationState.h"
#include "video/ISpritePackage.h"
#include "video/IVideoDriver.h"
#include "video/ITexture.h"
#include "video/OpenGL/COpenGLTexture.h"
#include "video/OpenGL/CVideoOpenGL.h"
#include "WindowTestSupport.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using namespace zu::video;

namespace
{

using namespace windowtest;

class OpenGLDriverTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        folder = fs::temp_directory_path() / ("pellora-gl-" + std::to_string(getpid()));
        fs::create_directories(folder);
        fs::current_path(folder);
    }
    void TearDown() override
    {
        if (device) device->drop();
        if (!folder.empty())
        {
            fs::current_path(fs::temp_directory_path());
            fs::remove_all(folder);
        }
    }
    IVideoDriver* open(int width, int height)
    {
        device = new kelvo::CDeviceSDL("0.7", "");
        if (!device->isReady()) return nullptr;
        device->setDriverType(zu::EDT_OPENGL);
        if (!device->createWindow({width, height}, false, false, false, 0)) return nullptr;
        return device->getVideoDriver();
    }
    // A 2 x 2 texture: red, green / blue, white.
    ITexture* checker(IVideoDriver* driver)
    {
        const uint32_t pixels[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
        uint8_t* data = new uint8_t[sizeof pixels];
        memcpy(data, pixels, sizeof pixels);
        IImage* image = driver->wrapImageData(ECF_A8R8G8B8, {2, 2}, data);
        ITexture* texture = driver->addTexture(image, "checker");
        image->drop();
        return texture;
    }
    std::vector<fs::path> screenshots() const
    {
        std::vector<fs::path> out;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".jpg") out.push_back(entry.path());
        return out;
    }

    fs::path folder;
    kelvo::CDeviceSDL* device = nullptr;
};

} // namespace

TEST_F(OpenGLDriverTest, DrawsRectanglesTexturesLinesAndRotatedImages)
{
    IVideoDriver* driver = open(160, 120);
    ASSERT_TRUE(driver);
    EXPECT_STREQ(driver->getName(), "OpenGL");
    EXPECT_EQ(driver->getDriverType(), zu::EDT_OPENGL);

    ITexture* texture = checker(driver);
    ASSERT_TRUE(texture);
    driver->beginScene(true, true, 0xFF202040);
    driver->drawRectangle(0xFFFF0000, {10, 10, 50, 30}, nullptr);
    driver->drawRectangle(0xFF0000FF, {60, 10, 100, 30}, nullptr);
    driver->drawRectangle(0x8000FF00, {10, 20, 50, 40}, nullptr); // half-transparent green
    const uint32_t white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    // Point sampling scales the 2 x 2 texture to 40 x 40 exact quadrants.
    driver->drawImageQuad(texture, {110, 10}, {150, 10}, {110, 50}, {150, 50}, {0, 0, 2, 2}, white,
                          false, false);
    // The same texture turned by 30 degrees around (50, 85).
    const float c = std::cos(0.5236f) * 20.f, s = std::sin(0.5236f) * 20.f;
    driver->drawImageQuad(texture, {50 - c + s, 85 - s - c}, {50 + c + s, 85 + s - c},
                          {50 - c - s, 85 - s + c}, {50 + c - s, 85 + s + c}, {0, 0, 2, 2}, white,
                          false, false);
    driver->drawLine({90, 70}, {150, 70}, 0xFFFFFF00);
    driver->drawLine({90, 110}, {150, 80}, 0xFF00FFFF);
    SImage frame = readBackBuffer(driver);

    EXPECT_TRUE(near(frame.at(15, 12), 255, 0, 0, 0)) << "a red rectangle reads (255, 0, 0)";
    EXPECT_TRUE(near(frame.at(95, 12), 0, 0, 255, 0)) << "vertex colours are not red/blue-swapped";
    EXPECT_TRUE(near(frame.at(30, 25), 127, 128, 0, 2)) << "alpha blends";
    EXPECT_TRUE(near(frame.at(30, 35), 16, 144, 32, 2));
    EXPECT_TRUE(near(frame.at(5, 5), 0x20, 0x20, 0x40, 0)) << "clear colour";
    EXPECT_TRUE(near(frame.at(115, 15), 255, 0, 0, 0)) << "texture top-left texel";
    EXPECT_TRUE(near(frame.at(145, 15), 0, 255, 0, 0));
    EXPECT_TRUE(near(frame.at(115, 45), 0, 0, 255, 0));
    EXPECT_TRUE(near(frame.at(145, 45), 255, 255, 255, 0));
    EXPECT_TRUE(near(frame.at(120, 70), 255, 255, 0, 0)) << "horizontal line";
    expectGolden(frame, "shapes");
    driver->endScene();
}

// A package made by the packer from ImageMagick's pictures, with no padding
// between the images on its page, drawn in five ways. Scaled-up frames must
// not pick up their neighbours on the page, and the trimmed border must keep
// the picture where it was drawn.
TEST_F(OpenGLDriverTest, SpritesFromAPackedPageDrawWhereTheyBelongWithoutBleeding)
{
    IVideoDriver* driver = open(160, 120);
    ASSERT_TRUE(driver);
    fs::create_directories(folder / "frames");
    const std::string frames = (folder / "frames").string();
    // "boxed": an 8 x 8 red square at (2, 2) of a transparent 12 x 12 picture.
    // "green": 8 x 8 green. "half": 8 x 4, red on the left, blue on the right.
    ASSERT_EQ(system(("convert -size 12x12 xc:none -fill red -draw 'rectangle 2,2 9,9' '" + frames +
                      "/boxed.png' && convert -size 8x8 xc:lime '" + frames +
                      "/green.png' && convert -size 8x4 xc:blue -fill red -draw "
                      "'rectangle 0,0 3,3' '" +
                      frames + "/half.png'")
                         .c_str()),
              0);
    const std::string package = (folder / "test.spr").string();
    ASSERT_EQ(system(("'" PELLORA_SPRITEPACK "' --padding 0 '" + frames + "' '" + package +
                      "' > /dev/null")
                         .c_str()),
              0);
    ISpritePackage* sprites = driver->getSpritePackage(package.c_str(), false, true);
    ASSERT_TRUE(sprites);
    ISpriteAnimationState* boxed = sprites->createState("boxed");
    ISpriteAnimationState* green = sprites->createState("green");
    ISpriteAnimationState* half = sprites->createState("half");
    ASSERT_TRUE(boxed && green && half);
    EXPECT_EQ(boxed->getSize(0).width, 8) << "the packer trimmed the border";

    driver->beginScene(true, true, 0xFF000000);
    boxed->drawAt({10, 10}, nullptr, 0xFFFFFFFF);
    green->drawScaled({40, 10}, 4.f, 0xFFFFFFFF);
    half->drawMirrored({100, 10}, 2.f, 0xFFFFFFFF);
    const uint32_t white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    half->drawRotated({40, 60}, 1.5707964f, 2.f, white); // a quarter turn clockwise
    boxed->drawAt({10, 80}, nullptr, 0x80FFFFFF);
    SImage frame = readBackBuffer(driver);

    EXPECT_TRUE(near(frame.at(11, 11), 0, 0, 0, 0)) << "the trimmed border stays empty";
    EXPECT_TRUE(near(frame.at(12, 12), 255, 0, 0, 0));
    EXPECT_TRUE(near(frame.at(19, 19), 255, 0, 0, 0));
    EXPECT_TRUE(near(frame.at(20, 20), 0, 0, 0, 0));
    // Four times larger: 32 x 32, its edge rows as green as its middle.
    for (auto [x, y] : {std::pair{40, 10}, {71, 10}, {40, 41}, {71, 41}, {55, 25}})
        EXPECT_TRUE(near(frame.at(x, y), 0, 255, 0, 3)) << "at " << x << ", " << y;
    EXPECT_TRUE(near(frame.at(72, 25), 0, 0, 0, 0));
    EXPECT_TRUE(near(frame.at(55, 42), 0, 0, 0, 0));
    // Mirrored about x = 100, twice the size: blue on the left, red on the right.
    EXPECT_TRUE(near(frame.at(87, 12), 0, 0, 255, 3));
    EXPECT_TRUE(near(frame.at(99, 12), 255, 0, 0, 3));
    EXPECT_TRUE(near(frame.at(103, 12), 0, 0, 0, 0));
    // Turned a quarter: the red half runs down from (40, 60), left of x = 40.
    EXPECT_TRUE(near(frame.at(36, 62), 255, 0, 0, 3));
    EXPECT_TRUE(near(frame.at(36, 73), 0, 0, 255, 3));
    EXPECT_TRUE(near(frame.at(42, 62), 0, 0, 0, 0));
    EXPECT_TRUE(near(frame.at(15, 85), 128, 0, 0, 2)) << "the colour's alpha blends";
    driver->endScene();
    boxed->release();
    green->release();
    half->release();
}

TEST_F(OpenGLDriverTest, MipMapsMakeACompleteChainThatMinifiedDrawingUses)
{
    IVideoDriver* driver = open(64, 64);
    ASSERT_TRUE(driver);
    driver->setTextureFlag(ETCF_CREATE_MIP_MAPS, true);
    auto make = [&](int w, int h, const std::function<uint32_t(int, int)>& pixel, const char* name)
    {
        uint8_t* data = new uint8_t[size_t(w) * size_t(h) * 4];
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                const uint32_t c = pixel(x, y);
                memcpy(data + (size_t(y) * size_t(w) + size_t(x)) * 4, &c, 4);
            }
        IImage* image = driver->wrapImageData(ECF_A8R8G8B8, {w, h}, data);
        ITexture* texture = driver->addTexture(image, name);
        image->drop();
        return static_cast<kelvo::video::COpenGLTexture*>(texture);
    };

    // 6 x 3, odd and not square: red, green and blue pairs of columns over a
    // white last row. Levels 3 x 1 and 1 x 1 follow.
    const uint32_t colours[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    auto* small = make(
        6, 3, [&](int x, int y) { return y == 2 ? 0xFFFFFFFF : colours[x / 2]; }, "small");
    ASSERT_TRUE(small && small->hasMipMaps());
    glBindTexture(GL_TEXTURE_2D, small->getOpenGLTextureName());
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_HEIGHT, &h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
    uint32_t level1[3] = {}, level2 = 0;
    glGetTexImage(GL_TEXTURE_2D, 1, GL_BGRA, GL_UNSIGNED_BYTE, level1);
    glGetTexImage(GL_TEXTURE_2D, 2, GL_BGRA, GL_UNSIGNED_BYTE, &level2);
    EXPECT_EQ(level1[0], 0xFFFF0000u);
    EXPECT_EQ(level1[1], 0xFF00FF00u);
    EXPECT_EQ(level1[2], 0xFF0000FFu);
    EXPECT_EQ(level2, 0xFF808000u);
    glBindTexture(GL_TEXTURE_2D, 0);

    // One white column in four, drawn at an eighth of its size: the mip-maps
    // give an even dark grey where plain sampling would alias.
    auto* stripes = make(
        64, 64, [](int x, int) { return x % 4 == 0 ? 0xFFFFFFFF : 0xFF000000; }, "stripes");
    driver->beginScene(true, true, 0xFFFF00FF);
    driver->drawImageScaled(stripes, {0, 0}, {0, 0, 64, 64}, 0.125f, 0xFFFFFFFF, false);
    SImage frame = readBackBuffer(driver);
    for (int x = 0; x < 8; ++x)
        EXPECT_TRUE(near(frame.at(x, 4), 64, 64, 64, 8)) << "at x = " << x;
    driver->endScene();
}

TEST_F(OpenGLDriverTest, ScissorClipsToTheTopLeftRectangle)
{
    IVideoDriver* driver = open(640, 480);
    ASSERT_TRUE(driver);
    driver->beginScene(true, true, 0xFF000000);
    SRecti box{0, 0, 100, 50};
    driver->setScissor(&box);
    driver->drawRectangle(0xFFFFFFFF, {0, 0, 640, 480}, nullptr);
    driver->setScissor(nullptr);
    SImage frame = readBackBuffer(driver);
    EXPECT_TRUE(near(frame.at(0, 0), 255, 255, 255, 0));
    EXPECT_TRUE(near(frame.at(99, 49), 255, 255, 255, 0));
    EXPECT_TRUE(near(frame.at(100, 49), 0, 0, 0, 0));
    EXPECT_TRUE(near(frame.at(99, 50), 0, 0, 0, 0));
    EXPECT_TRUE(near(frame.at(639, 479), 0, 0, 0, 0));

    // A script may give any corners: they are cut to the screen.
    const SRecti wild{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    driver->setScissor(&wild);
    driver->drawRectangle(0xFF0000FF, {0, 0, 640, 480}, nullptr);
    driver->setScissor(nullptr);
    frame = readBackBuffer(driver);
    EXPECT_TRUE(near(frame.at(0, 0), 0, 0, 255, 0));
    EXPECT_TRUE(near(frame.at(639, 479), 0, 0, 255, 0));
    driver->endScene();
}

TEST_F(OpenGLDriverTest, RenderTargetsAreUprightAndOutliveTheFrame)
{
    IVideoDriver* driver = open(160, 120);
    ASSERT_TRUE(driver);
    ITexture* target = driver->addTexture({64, 64}, "target", ECF_A8R8G8B8, true);
    ASSERT_TRUE(target);

    // Drawn into, then drawn on the screen: its top stays on top.
    driver->beginScene(true, true, 0xFF000000);
    ASSERT_TRUE(driver->setRenderTarget(target));
    driver->clearScreen(false, 0xFF00FF00);
    driver->drawRectangle(0xFFFF0000, {0, 0, 64, 16}, nullptr);
    driver->setRenderTarget(nullptr);
    driver->drawImage(target, {10, 20});
    SImage frame = readBackBuffer(driver);
    EXPECT_TRUE(near(frame.at(12, 22), 255, 0, 0, 0));
    EXPECT_TRUE(near(frame.at(12, 70), 0, 255, 0, 0));
    EXPECT_TRUE(near(frame.at(5, 5), 0, 0, 0, 0));
    expectGolden(frame, "render_target");
    driver->endScene();

    // A target still active at the end of the frame is shown at (0, 0) and
    // stays the target of the next frame.
    driver->beginScene(true, true, 0xFF000000);
    driver->setRenderTarget(target);
    driver->clearScreen(false, 0xFF00FF00);
    driver->drawRectangle(0xFFFF0000, {0, 0, 64, 16}, nullptr);
    driver->writeScreenshot("", "", nullptr);
    driver->endScene();
    auto shots = screenshots();
    ASSERT_EQ(shots.size(), 1u);
    SImage shot = loadImage(driver, shots[0].string());
    ASSERT_EQ(shot.width, 160);
    EXPECT_TRUE(near(shot.at(5, 5), 255, 0, 0, 8));
    EXPECT_TRUE(near(shot.at(5, 40), 0, 255, 0, 8));
    EXPECT_TRUE(near(shot.at(100, 40), 0, 0, 0, 8));

    driver->beginScene(true, true, 0xFF000000);
    driver->drawRectangle(0xFF0000FF, {0, 0, 64, 32}, nullptr);
    driver->setRenderTarget(nullptr);
    driver->endScene();
    fs::remove(shots[0]);
    ASSERT_TRUE(driver->writeScreenshot("", "target-", target));
    shots = screenshots();
    ASSERT_EQ(shots.size(), 1u);
    shot = loadImage(driver, shots[0].string());
    ASSERT_EQ(shot.width, 64);
    EXPECT_TRUE(near(shot.at(5, 5), 0, 0, 255, 8)) << "the second frame drew into the target";
    EXPECT_TRUE(near(shot.at(5, 50), 0, 0, 0, 8)) << "beginScene cleared the active target";
}

TEST_F(OpenGLDriverTest, TargetsAScriptNamesWronglyAreRefusedNotChecked)
{
    IVideoDriver* driver = open(64, 64);
    ASSERT_TRUE(driver);
    static int failedChecks = 0;
    failedChecks = 0;
    zu::core::CheckHook previous =
        zu::core::setCheckHook([](const char*, const char*, int, const char*) { ++failedChecks; });
    // An image texture is not a target; a target beyond the implementation's
    // limit cannot be made.
    EXPECT_FALSE(driver->setRenderTarget(checker(driver)));
    EXPECT_EQ(driver->addTexture({1 << 20, 4}, "huge", ECF_A8R8G8B8, true), nullptr);
    zu::core::setCheckHook(previous);
    EXPECT_EQ(failedChecks, 0);
    EXPECT_EQ(static_cast<kelvo::video::CVideoNull*>(driver)->getRenderTarget(), nullptr);
}

TEST_F(OpenGLDriverTest, ScreenshotOfAnOddWidthIsUprightAndNotSheared)
{
    IVideoDriver* driver = open(641, 101);
    ASSERT_TRUE(driver);
    driver->beginScene(true, true, 0xFF000000);
    driver->drawRectangle(0xFFFF0000, {0, 0, 20, 10}, nullptr);
    driver->drawRectangle(0xFF0000FF, {621, 91, 641, 101}, nullptr);
    // Taken from the finished frame at endScene, before it is presented.
    EXPECT_TRUE(driver->writeScreenshot("", "", nullptr));
    EXPECT_TRUE(screenshots().empty());
    driver->endScene();
    auto shots = screenshots();
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0].filename().string().rfind("Screen-", 0), 0u);
    EXPECT_EQ(run("identify -format '%w %h %Q' '" + shots[0].string() + "'"), "641 101 100");
    SImage shot = loadImage(driver, shots[0].string());
    ASSERT_EQ(shot.width, 641);
    EXPECT_TRUE(near(shot.at(5, 5), 255, 0, 0, 8));
    EXPECT_TRUE(near(shot.at(635, 95), 0, 0, 255, 8));
    EXPECT_TRUE(near(shot.at(5, 95), 0, 0, 0, 8));
    EXPECT_TRUE(near(shot.at(635, 5), 0, 0, 0, 8));
}

TEST_F(OpenGLDriverTest, MeshesDrawFromBufferObjectsIn3D)
{
    IVideoDriver* driver = open(160, 120);
    ASSERT_TRUE(driver);
    MaterialState material;
    material.Lighting = false;
    material.BackfaceCulling = false;
    driver->setMaterial(material);
    driver->setTransform(ETS_PROJECTION, zu::core::CMatrix4());
    driver->setTransform(ETS_VIEW, zu::core::CMatrix4());
    driver->setTransform(ETS_WORLD, zu::core::CMatrix4());

    Mesh* mesh = driver->createMesh(PT_TRIANGLE_LIST, FORMAT_TRIANGLES, 4);
    const float corners[4][2] = {{-1.f, 1.f}, {0.f, 1.f}, {-1.f, 0.f}, {0.f, 0.f}};
    for (const auto& corner : corners)
    {
        S3DVertex v;
        v.x = corner[0];
        v.y = corner[1];
        v.color = 0xFF00FF00;
        mesh->addVertex(v);
    }
    mesh->addTriangle(0, 1, 2);
    mesh->addTriangle(1, 3, 2);
    ASSERT_TRUE(mesh->upload(true));

    driver->beginScene(true, true, 0xFF000000);
    driver->prepare3DStates();
    RenderState state;
    state.mesh = mesh;
    driver->drawRenderState(state);
    // A 2D rectangle drawn afterwards lands on top, unaffected by 3D states.
    driver->drawRectangle(0xFFFF0000, {0, 0, 10, 10}, nullptr);
    SImage frame = readBackBuffer(driver);
    EXPECT_TRUE(near(frame.at(40, 30), 0, 255, 0, 0)) << "top-left quarter is the mesh";
    EXPECT_TRUE(near(frame.at(120, 90), 0, 0, 0, 0));
    EXPECT_TRUE(near(frame.at(5, 5), 255, 0, 0, 0));
    driver->endScene();
    mesh->drop();
}

TEST_F(OpenGLDriverTest, LightsPastTheMaximumAreRefused)
{
    IVideoDriver* driver = open(64, 64);
    ASSERT_TRUE(driver);
    const int32_t maximum = driver->getMaxLightCount();
    ASSERT_GE(maximum, 8);
    for (int32_t i = 0; i < maximum + 3; ++i)
        driver->addLight(SLight());
    EXPECT_EQ(driver->getLightCount(), maximum);
    driver->clearLights();
    driver->addLight(SLight());
    EXPECT_EQ(driver->getLightCount(), 1);
}

TEST_F(OpenGLDriverTest, AContextThatCannotBeMadeLeavesAnUnusableDriverThatDropsSafely)
{
    device = new kelvo::CDeviceSDL("0.7", "");
    ASSERT_TRUE(device->isReady());
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_TRUE(window);
    // No implementation offers OpenGL 9.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 9);
    auto* driver = new kelvo::video::CVideoOpenGL(
        nullptr, [this] { return device->swapBuffers(); }, window, {64, 64}, false, true, false);
    SDL_GL_ResetAttributes();
    EXPECT_FALSE(driver->isValid());
    driver->beginScene(true, true, 0xFF000000);
    driver->drawRectangle(0xFFFFFFFF, {0, 0, 10, 10}, nullptr);
    driver->endScene();
    driver->drop();
    SDL_DestroyWindow(window);
}

TEST(OpenGLDevice, NoWindowSystemMeansNoDriverAndAFailedStart)
{
    // SDL's dummy video driver has no OpenGL at all. Without a display the
    // failure's message box gives up at once instead of waiting for a click.
    const char* saved = getenv("SDL_VIDEODRIVER");
    std::string previous = saved ? saved : "";
    const char* savedDisplay = getenv("DISPLAY");
    std::string display = savedDisplay ? savedDisplay : "";
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    unsetenv("DISPLAY");
    auto* device = new kelvo::CDeviceSDL("0.7", "");
    if (device->isReady())
    {
        device->setDriverType(zu::EDT_OPENGL);
        EXPECT_FALSE(device->createWindow({64, 64}, false, false, false, 0));
        EXPECT_EQ(device->getVideoDriver(), nullptr);
    }
    device->drop();
    if (saved)
        setenv("SDL_VIDEODRIVER", previous.c_str(), 1);
    else
        unsetenv("SDL_VIDEODRIVER");
    if (savedDisplay) setenv("DISPLAY", display.c_str(), 1);
}
