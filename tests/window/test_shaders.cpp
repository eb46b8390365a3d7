// Shader materials, post-processing and the 3D scene on the OpenGL driver of
// a real window (a virtual X server in CI), driven through the script table
// `video` where a script would use them: pixels read back from the frame.
// The shaders are in tests/window/shaders; models are written at test time.
#include "WindowTestSupport.h"
#include "io/IoTestSupport.h"
#include "lua/LuaTestState.h"
#include "scene/SceneTestSupport.h"

#include "CSpriteWriter.h"
#include "core/Output.h"
#include "lua/CLuaVideoLibrary.h"
#include "platform/CDeviceSDL.h"
#include "scene/ISceneManager.h"
#include "video/IGPUProgrammingServices.h"
#include "video/IMaterialRendererServices.h"
#include "video/IShaderConstantSetCallBack.h"
#include "video/null/CCgRuntime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using iotest::CCapture;
using namespace windowtest;

namespace
{

const std::string kShaders = PELLORA_TEST_SHADERS;

class ShaderWindowTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!getenv("DISPLAY")) GTEST_SKIP() << "needs an X display (run under xvfb-run)";
        folder = iotest::makeScratchFolder("gl-shaders");
        device = new kelvo::CDeviceSDL("0.7", "");
        ASSERT_TRUE(device->isReady());
        device->setDriverType(zu::EDT_OPENGL);
        ASSERT_TRUE(device->createWindow({160, 120}, false, false, false, 0));
        driver = device->getVideoDriver();
        library = new zu::lua::CLuaVideoLibrary(driver, nullptr, device);
        library->install(state.L);
        state.run("SHADERS = '" + kShaders + "/' FOLDER = '" + folder + "/'");
    }
    void TearDown() override
    {
        state.close();
        delete library;
        if (device)
        {
            if (zu::scene::ISceneManager* scene = device->getSceneManager()) scene->clear();
            device->drop();
        }
    }
    // Two cubes of side 1.6 at x = -1.2 (from an OBJ file) and 1.2 (the
    // same cube as a 3DS file), seen from (0, 0, -5) with the default 72
    // degree field of view, lit by a directional light shining along lightZ.
    SImage drawCubes(float lightZ)
    {
        scenetest::writeCubeObj(folder + "/cube.obj", 0.8f);
        EXPECT_TRUE(scenetest::convertModel(folder + "/cube.obj", folder + "/cube.3ds"));
        // A 1 x 1 white TGA.
        iotest::writeDiskFile(folder + "/white.tga",
                              std::string("\0\0\2\0\0\0\0\0\0\0\0\0\1\0\1\0\x20\x08", 18) +
                                  std::string("\xFF\xFF\xFF\xFF", 4));
        run("video.setCameraPosition(0, 0, -5) video.setCameraViewPosition(0, 0, 0) "
            "OBJ = video.createSceneNode(FOLDER .. 'cube.obj', FOLDER .. 'white.tga', -1.2, 0, 0) "
            "TDS = video.createSceneNode(FOLDER .. 'cube.3ds', FOLDER .. 'white.tga', 1.2, 0, 0) "
            "video.createLightSceneNode(0, 0, " +
            std::to_string(lightZ) + ", 0)");
        EXPECT_EQ(run("return OBJ, TDS"), "0,1");
        driver->beginScene(true, true, 0xFF000000);
        run("video.render3dScene()");
        SImage frame = readBackBuffer(driver);
        driver->endScene();
        return frame;
    }
    // Runs the chunk; a script error fails the test.
    std::string run(const std::string& chunk)
    {
        const std::string result = state.run(chunk);
        EXPECT_EQ(result.rfind("error:", 0), std::string::npos) << result;
        return result;
    }

    std::string folder;
    luatest::CState state;
    kelvo::CDeviceSDL* device = nullptr;
    zu::video::IVideoDriver* driver = nullptr;
    zu::lua::CLuaVideoLibrary* library = nullptr;
};

// Hands the ARB program its colour through the register form of the
// driver's services, as an assembly program's callback does.
class CLocalColour : public zu::video::IShaderConstantSetCallBack
{
  public:
    void setConstants(zu::video::IMaterialRendererServices* services, int32_t) override
    {
        const float colour[4] = {0.25f, 0.5f, 0.75f, 1.f};
        services->setPixelShaderConstant(colour, 0, 1);
    }
};

// Sets the uniform "m" from the first `count` of sixteen floats, and reports
// whether the program took the name.
class CMatrixConstant : public zu::video::IShaderConstantSetCallBack
{
  public:
    explicit CMatrixConstant(int32_t count) : m_count(count) {}
    void setConstants(zu::video::IMaterialRendererServices* services, int32_t) override
    {
        float m[16] = {};
        m[12] = 0.2f; // the last column: the matrix is not transposed
        m[13] = 0.4f;
        m[14] = 0.6f;
        m[15] = 1.f;
        found = services->setPixelShaderConstant("m", m, m_count);
    }
    bool found = false;

  private:
    int32_t m_count;
};

} // namespace

TEST_F(ShaderWindowTest, MatrixUniformsTakeWholeMatricesAndProgramsWithoutUniformsTakeNone)
{
    zu::video::IGPUProgrammingServices* services = driver->getShaderServices();
    const std::string matrix = iotest::readDiskFile(kShaders + "/matrix.frag");
    const std::string plain = iotest::readDiskFile(kShaders + "/plain.frag");
    struct Case
    {
        const std::string* text;
        int32_t count;
        bool found;
        int r, g, b;
    };
    // 16 floats are one matrix; 15 are none (the matrix stays zero).
    const Case cases[] = {{&matrix, 16, true, 51, 102, 153},
                          {&matrix, 15, true, 0, 0, 0},
                          {&plain, 16, false, 255, 255, 0}};
    for (const Case& c : cases)
    {
        auto* callback = new CMatrixConstant(c.count);
        const int32_t type = services->createHighLevelMaterial("", "main", "", c.text->c_str(),
                                                               "main", "", callback, 0, 0);
        ASSERT_GE(type, int32_t(zu::video::EMT_BUILT_IN_COUNT));
        driver->beginScene(true, true, 0xFF808080);
        driver->drawShaderFullscreen(type);
        SImage frame = readBackBuffer(driver);
        driver->endScene();
        EXPECT_EQ(callback->found, c.found) << c.count;
        EXPECT_TRUE(near(frame.at(80, 60), c.r, c.g, c.b, 1)) << c.count;
        callback->drop();
    }
}

TEST_F(ShaderWindowTest, GlslUniformsComeFromTheConstantsTable)
{
    run("video.createRenderTarget('rt') "
        "COLOUR = video.createGlslShader('', SHADERS .. 'colour.frag', 0) "
        "WEIGHTS = video.createGlslShader('', SHADERS .. 'weights.frag', 0)");
    EXPECT_GE(std::stoi(run("return COLOUR")), int(zu::video::EMT_BUILT_IN_COUNT));
    EXPECT_EQ(std::stoi(run("return WEIGHTS")), std::stoi(run("return COLOUR")) + 1);

    driver->beginScene(true, true, 0xFF000000);
    run("video.renderFullscreenShader(COLOUR, {colour = {0.2, 0.4, 0.6, 1}}, 'rt')");
    SImage frame = readBackBuffer(driver);
    for (auto [x, y] : {std::pair{0, 0}, {80, 60}, {159, 119}})
        EXPECT_TRUE(near(frame.at(x, y), 51, 102, 153, 1)) << x << ", " << y;
    // An array uniform takes as many values as it has elements, by its bare name.
    run("video.renderFullscreenShader(WEIGHTS, {weights = {0.1, 0.2, 0.3}}, 'rt')");
    frame = readBackBuffer(driver);
    EXPECT_TRUE(near(frame.at(80, 60), 26, 51, 77, 1));
    driver->endScene();
}

TEST_F(ShaderWindowTest, AShaderMaterialOf3DDrawingStaysOutOfThe2DDrawingAfterIt)
{
    run("COLOUR = video.createGlslShader('', SHADERS .. 'colour.frag', 0)");
    driver->beginScene(true, true, 0xFF000000);
    run("video.setMaterial(COLOUR, {colour = {0, 0, 1, 1}}) "
        "video.renderTriangleList(3, 1, {0, 1, 2}, {-1, 1, -1}, {1, 1, -1}, {0, 0, 0}, {0, 0, 0},"
        " {0, 0, 0}) "
        "video.renderRectangle(100, 80, 40, 30, 255, 255, 0, 0)");
    SImage frame = readBackBuffer(driver);
    EXPECT_TRUE(near(frame.at(10, 10), 0, 0, 255, 1)) << "the triangle, through the shader";
    EXPECT_TRUE(near(frame.at(120, 95), 255, 0, 0, 1)) << "the rectangle, in its own colour";
    driver->endScene();
}

TEST_F(ShaderWindowTest, APostProcessingPassInvertsTheFrameDrawnIntoATarget)
{
    run("video.createRenderTarget('frame') INVERT = video.createGlslShader(SHADERS .. 'pass.vert', "
        "SHADERS .. 'invert.frag')");
    driver->beginScene(true, true, 0xFF000000);
    run("video.setActiveRenderTarget('frame') video.clearScreen(10, 20, 30) "
        "video.renderRectangle(0, 0, 40, 30, 255, 255, 0, 0) "
        "video.renderRectangle(120, 90, 40, 30, 255, 0, 200, 100) "
        "video.setActiveRenderTarget(nil) "
        "video.renderFullscreenShader(INVERT, nil, 'frame')");
    SImage frame = readBackBuffer(driver);
    EXPECT_TRUE(near(frame.at(5, 5), 0, 255, 255, 1)) << "red at the top left, upright";
    EXPECT_TRUE(near(frame.at(150, 110), 255, 55, 155, 1));
    EXPECT_TRUE(near(frame.at(80, 60), 245, 235, 225, 1));
    EXPECT_TRUE(near(frame.at(45, 5), 245, 235, 225, 1)) << "the rectangle ends where it did";
    expectGolden(frame, "shader_invert");
    driver->endScene();
}

TEST_F(ShaderWindowTest, SpriteShaderPassesAreCutAtTheScreenEdgesNotSqueezed)
{
    // An 8 x 8 sprite of four colours (red, blue / black, white), its
    // hotspot in the middle; drawn four times larger it is 32 x 32.
    std::vector<uint8_t> pixels(8 * 8 * 4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            uint8_t* p = &pixels[size_t(y * 8 + x) * 4];
            const bool right = x >= 4, bottom = y >= 4;
            p[0] = (!bottom && !right) || (bottom && right) ? 255 : 0;
            p[1] = bottom && right ? 255 : 0;
            p[2] = (!bottom && right) || (bottom && right) ? 255 : 0;
            p[3] = 255;
        }
    pellora::spritepack::CSpriteWriter writer;
    writer.setTrim(false);
    writer.addAnimation("quads", {{writer.addImage(pixels.data(), 8, 8, 4, 4), 100, 1}});
    std::string error;
    ASSERT_TRUE(writer.writeFile(folder + "/quads.spr", 4, error)) << error;
    run("video.createRenderTarget('frame') "
        "SPRITE = video.createGlslShader(SHADERS .. 'pass.vert', SHADERS .. 'sprite.frag') "
        "SLOT = video.createSpriteState('quads', FOLDER .. 'quads.spr')");
    ASSERT_NE(run("return SPRITE"), "-1");
    ASSERT_EQ(run("return SLOT"), "0");

    driver->setForcePointSampling(true);
    driver->beginScene(true, true, 0xFF000000);
    // The frame under the sprites is half green, so stage 0 is seen too.
    run("video.setActiveRenderTarget('frame') video.clearScreen(0, 128, 0) "
        "video.setActiveRenderTarget(nil) "
        "for _, p in ipairs({{8, 60}, {152, 60}, {80, 8}, {80, 112}}) do "
        "  video.renderSpriteStateShader(SPRITE, SLOT, p[1], p[2], 4, {sprite = 1}, 'frame') "
        "end");
    SImage frame = readBackBuffer(driver);
    // Red, blue / black, white, with the frame's green: each sprite's middle
    // stays at its position, so the colour changes there.
    struct Probe
    {
        int x, y, r, g, b;
    };
    const Probe probes[] = {
        {0, 50, 255, 128, 0},    {7, 50, 255, 128, 0},   {8, 50, 0, 128, 255},
        {23, 50, 0, 128, 255},   {24, 50, 0, 0, 0},      {0, 70, 0, 128, 0},
        {151, 50, 255, 128, 0},  {152, 50, 0, 128, 255}, {159, 70, 255, 128, 255},
        {70, 0, 255, 128, 0},    {70, 7, 255, 128, 0},   {70, 8, 0, 128, 0},
        {90, 23, 255, 128, 255}, {90, 24, 0, 0, 0},      {70, 100, 255, 128, 0},
        {70, 111, 255, 128, 0},  {70, 112, 0, 128, 0},   {90, 119, 255, 128, 255},
    };
    for (const Probe& p : probes)
        EXPECT_TRUE(near(frame.at(p.x, p.y), p.r, p.g, p.b, 2)) << p.x << ", " << p.y;
    driver->endScene();
}

TEST_F(ShaderWindowTest, ArbFragmentProgramsTakeLocalParametersAndFileMaterialsNeedNoVertexProgram)
{
    zu::video::IGPUProgrammingServices* services = driver->getShaderServices();
    ASSERT_TRUE(services);
    auto* callback = new CLocalColour();
    const int32_t local = services->createProgramMaterialFromFiles(
        "", (kShaders + "/local.arb").c_str(), callback, 0, 0);
    callback->drop();
    ASSERT_GE(local, int32_t(zu::video::EMT_BUILT_IN_COUNT));
    run("FILE = video.createFileMaterial(SHADERS .. 'constant.arb')");
    ASSERT_EQ(std::stoi(run("return FILE")), local + 1);

    driver->beginScene(true, true, 0xFF000000);
    driver->drawShaderFullscreen(local);
    SImage frame = readBackBuffer(driver);
    EXPECT_TRUE(near(frame.at(80, 60), 64, 128, 191, 1));
    driver->drawShaderRect(std::stoi(run("return FILE")), {0, 0, 80, 120}, nullptr, nullptr, 0);
    frame = readBackBuffer(driver);
    EXPECT_TRUE(near(frame.at(40, 60), 51, 102, 153, 1));
    EXPECT_TRUE(near(frame.at(120, 60), 64, 128, 191, 1)) << "only the rectangle";
    driver->endScene();

    CCapture capture;
    EXPECT_EQ(services->createProgramMaterial("", "!!ARBfp1.0\nMOV result.color, nothing;\nEND\n",
                                              nullptr, 0, 0),
              -1);
    EXPECT_TRUE(CCapture::logged("Pixel shader compilation failed at position"));
}

TEST_F(ShaderWindowTest, AGlslCompileErrorIsLoggedWithTheCompilersLogAndGivesMinusOne)
{
    const int32_t before = driver->getRendererCount();
    CCapture capture;
    EXPECT_EQ(run("return video.createGlslShader('', SHADERS .. 'broken.frag')"), "-1");
    const auto& lines = CCapture::lines();
    auto at = std::find(lines.begin(), lines.end(), "GLSL shader failed to compile");
    ASSERT_NE(at, lines.end());
    ASSERT_NE(at + 1, lines.end()) << "the compiler's log follows";
    EXPECT_NE((at + 1)->find("undeclared"), std::string::npos) << *(at + 1);
    EXPECT_EQ(driver->getRendererCount(), before) << "nothing registered";
    EXPECT_TRUE(CCapture::checks().empty());
}

TEST_F(ShaderWindowTest, MaterialColourKeysChangeOnlyTheirChannel)
{
    // Lit, without lights: what shows is the emissive colour.
    const std::string quad = "video.renderTriangleList(4, 2, {0, 1, 2, 2, 1, 3}, {-1, 1, -1, 1}, "
                             "{1, 1, -1, -1}, {0.5, 0.5, 0.5, 0.5}, {0, 0, 0, 0}, {0, 0, 0, 0})";
    struct Case
    {
        const char* keys;
        int r, g, b;
    };
    const Case cases[] = {{"er = 200", 200, 0, 0},
                          {"er = 200, eb = 50", 200, 0, 50},
                          {"eg = 0x1280", 0, 128, 0},
                          {"ar = 10, dg = 20", 0, 0, 0}};
    driver->beginScene(true, true, 0xFF000000);
    for (const Case& c : cases)
    {
        run(std::string("video.setMaterial({materialType = 0, lighting = true, zbuffer = false, ") +
            c.keys + "}) " + quad);
        SImage frame = readBackBuffer(driver);
        EXPECT_TRUE(near(frame.at(80, 60), c.r, c.g, c.b, 1)) << c.keys;
    }
    driver->endScene();
}

TEST_F(ShaderWindowTest, ATriangleListWithABadIndexDrawsOnlyItsGoodTriangles)
{
    driver->beginScene(true, true, 0xFF000000);
    // Left and right halves; the middle triangle names vertex 9 of six.
    run("video.setMaterial(0) video.renderTriangleList(6, 3, {0, 1, 2, 1, 9, 4, 3, 4, 5},"
        " {-1, -0.2, -1, 0.2, 1, 1}, {1, 1, -1, 1, 1, -1}, {0, 0, 0, 0, 0, 0},"
        " {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, nil, {255, 255, 255, 0, 0, 0},"
        " {0, 0, 0, 255, 255, 255}, {0, 0, 0, 0, 0, 0})");
    SImage frame = readBackBuffer(driver);
    EXPECT_TRUE(near(frame.at(10, 10), 255, 0, 0, 1));
    EXPECT_TRUE(near(frame.at(150, 10), 0, 255, 0, 1));
    EXPECT_TRUE(near(frame.at(80, 30), 0, 0, 0, 0)) << "where the bad triangle would be";
    EXPECT_TRUE(near(frame.at(80, 110), 0, 0, 0, 0));
    driver->endScene();
}

TEST_F(ShaderWindowTest, CgMaterialsWithoutTheRuntimeGiveMinusOneAndAFakeRuntimeBuildsThem)
{
    {
        CCapture capture;
        iotest::writeDiskFile(folder + "/p.cg", "float4 main() : COLOR { return 1; }");
        EXPECT_EQ(run("return video.createCgShader('', FOLDER .. 'p.cg')"), "-1");
        EXPECT_EQ(run("return video.createCgShader('', FOLDER .. 'p.cg')"), "-1");
        int reports = 0;
        for (const std::string& line : CCapture::lines())
            if (line.find("Cg runtime not found (libCg.so)") != std::string::npos) ++reports;
        EXPECT_EQ(reports, 1) << "the missing runtime is reported once";
    }
    // Passing that -1 on draws nothing and checks nothing.
    {
        CCapture capture;
        driver->beginScene(true, true, 0xFF000000);
        run("video.createRenderTarget('rt') video.setMaterial(-1) "
            "video.renderFullscreenShader(-1, {a = 1}, 'rt') video.setUseMaterialFor2d(true) "
            "video.renderRectangle(0, 0, 20, 20) video.setUseMaterialFor2d(false)");
        driver->endScene();
        EXPECT_TRUE(CCapture::checks().empty());
    }

    // A runtime whose every call succeeds: each creation adds the next type.
    static kelvo::video::SCgFunctions fake = []
    {
        kelvo::video::SCgFunctions f;
        static char handles[16] = {};
        f.createContext = [] { return reinterpret_cast<kelvo::video::CGcontext>(&handles[0]); };
        f.destroyContext = [](kelvo::video::CGcontext) {};
        f.getError = [] { return kelvo::video::CG_NO_ERROR; };
        f.getErrorString = [](int) { return ""; };
        f.createProgram =
            [](kelvo::video::CGcontext, int, const char*, int, const char*, const char**)
        { return reinterpret_cast<kelvo::video::CGprogram>(&handles[1]); };
        f.destroyProgram = [](kelvo::video::CGprogram) {};
        f.getNamedParameter = [](kelvo::video::CGprogram, const char*)
        { return kelvo::video::CGparameter(nullptr); };
        f.getFirstParameter = [](kelvo::video::CGprogram, int)
        { return kelvo::video::CGparameter(nullptr); };
        f.getNextParameter = [](kelvo::video::CGparameter)
        { return kelvo::video::CGparameter(nullptr); };
        f.getParameterName = [](kelvo::video::CGparameter) { return ""; };
        f.getParameterRows = [](kelvo::video::CGparameter) { return 1; };
        f.getParameterColumns = [](kelvo::video::CGparameter) { return 1; };
        f.setParameterValuefr = [](kelvo::video::CGparameter, int, const float*) {};
        f.glGetLatestProfile = [](int) { return 7000; };
        f.glSetOptimalOptions = [](int) {};
        f.glLoadProgram = [](kelvo::video::CGprogram) {};
        f.glBindProgram = [](kelvo::video::CGprogram) {};
        f.glUnbindProgram = [](int) {};
        f.glEnableProfile = [](int) {};
        f.glDisableProfile = [](int) {};
        f.glSetMatrixParameterfc = [](kelvo::video::CGparameter, const float*) {};
        return f;
    }();
    kelvo::video::CCgRuntime::replace(&fake);
    const std::string first = run("return video.createCgShader('', FOLDER .. 'p.cg')");
    const std::string second = run("return video.createCgShader('', FOLDER .. 'p.cg')");
    // The driver keeps its renderers (and the fake's context) until it goes.
    device->drop();
    device = nullptr;
    kelvo::video::CCgRuntime::replace(nullptr);
    EXPECT_GE(std::stoi(first), int(zu::video::EMT_BUILT_IN_COUNT));
    EXPECT_EQ(std::stoi(second), std::stoi(first) + 1);
}

TEST_F(ShaderWindowTest, ModelsFromObjAnd3dsFilesShowTheirSilhouettesLit)
{
    const SImage frame = drawCubes(1.f);
    // The near faces, 4.2 away, span 1.6 / (2 * 4.2 * tan 36 deg) of the height.
    const float k = 60.f / (4.2f * std::tan(0.6283185f)); // pixels per unit there
    for (float centre : {-1.2f, 1.2f})
    {
        const int x = int(std::lround(80.f + centre * k));
        const int half = int(0.8f * k);
        EXPECT_GT(frame.at(x, 60)[0], 150) << "a near face, lit head on, at " << centre;
        EXPECT_GT(frame.at(x - half + 2, 60 - half + 2)[0], 100) << centre;
        EXPECT_GT(frame.at(x + half - 2, 60 + half - 2)[0], 100) << centre;
        EXPECT_TRUE(near(frame.at(x, 60 - half - 3), 0, 0, 0, 0)) << "above, " << centre;
        EXPECT_TRUE(near(frame.at(x, 60 + half + 3), 0, 0, 0, 0)) << "below, " << centre;
    }
    EXPECT_TRUE(near(frame.at(80, 60), 0, 0, 0, 0)) << "between the cubes";
    EXPECT_TRUE(near(frame.at(5, 60), 0, 0, 0, 0));
    expectGolden(frame, "scene_cubes");
}

TEST_F(ShaderWindowTest, ALightShiningAtTheCameraLeavesTheNearFacesDark)
{
    const SImage frame = drawCubes(-1.f);
    const float k = 60.f / (4.2f * std::tan(0.6283185f));
    for (float centre : {-1.2f, 1.2f})
        EXPECT_LT(frame.at(int(std::lround(80.f + centre * k)), 60)[0], 40) << centre;
}
