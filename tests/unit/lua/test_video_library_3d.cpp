// The material, post-processing and 3D side of the script table `video` on
// the recording driver and a scene over it: materials from numbers and key
// tables, constants tables, shader passes and their clipping, material type
// -1 everywhere, checked triangle lists, script meshes, the camera, nodes
// and lights.
#include "LuaTestState.h"
#include "io/IoTestSupport.h"
#include "scene/SceneTestSupport.h"
#include "video/CRecordingDriver.h"

#include "CSpriteWriter.h"
#include "io/CFileSystem.h"
#include "lua/CLuaShaderConstants.h"
#include "lua/CLuaVideoLibrary.h"
#include "scene/CSceneManager.h"
#include "scene/ICameraSceneNode.h"
#include "scene/ILightSceneNode.h"
#include "scene/ISceneNode.h"
#include "video/ISpriteAnimationState.h"
#include "video/ITexture.h"

#include <gtest/gtest.h>

#include <vector>

using iotest::CCapture;
using luatest::CState;
using zu::lua::CLuaShaderConstants;
using zu::video::MaterialState;

namespace
{

// A 2 x 2 opaque TGA, bottom row first as the format stores it.
void writeTga(const std::string& path)
{
    std::string bytes(18, '\0');
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = 2;
    bytes[14] = 2;
    bytes[16] = 32;
    bytes[17] = 8; // alpha bits
    for (int i = 0; i < 4; ++i)
        bytes += std::string("\x40\x80\xC0\xFF", 4);
    iotest::writeDiskFile(path, bytes);
}

class VideoLibrary3DTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        folder = iotest::makeScratchFolder("video-3d");
        scenetest::writeCubeObj(folder + "/cube.obj", 1.f);
        writeTga(folder + "/skin.tga");
        // One 4 x 4 opaque red frame with its hotspot at (2, 2).
        std::vector<uint8_t> red(4 * 4 * 4);
        for (size_t i = 0; i < red.size(); i += 4)
        {
            red[i] = 255;
            red[i + 3] = 255;
        }
        pellora::spritepack::CSpriteWriter writer;
        writer.setTrim(false);
        writer.addAnimation("dot", {{writer.addImage(red.data(), 4, 4, 2, 2), 100, 1}});
        std::string error;
        ASSERT_TRUE(writer.writeFile(folder + "/dot.spr", 4, error)) << error;

        fs = new kelvo::io::CFileSystem();
        driver = new videotest::CRecordingDriver(fs, {800, 600});
        scene = new kelvo::scene::CSceneManager(driver, fs);
        library = new zu::lua::CLuaVideoLibrary(driver, nullptr, nullptr);
        library->setSceneManager(scene);
        library->install(state.L);
        state.run("FOLDER = '" + folder + "'");
    }
    void TearDown() override
    {
        state.close();
        delete library;
        scene->drop();
        driver->drop();
        fs->drop();
    }
    const std::vector<CLuaShaderConstants::SConstant>& constants() const
    {
        return library->getShaderConstants()->getConstants();
    }
    float pixelX(float x) const
    {
        return x / driver->getNdcScaleX() - float(driver->getNdcOffsetX());
    }
    float pixelY(float y) const
    {
        return float(driver->getNdcOffsetY()) - y / driver->getNdcScaleY();
    }

    std::string folder;
    CState state;
    kelvo::io::CFileSystem* fs = nullptr;
    videotest::CRecordingDriver* driver = nullptr;
    kelvo::scene::CSceneManager* scene = nullptr;
    zu::lua::CLuaVideoLibrary* library = nullptr;
};

} // namespace

TEST_F(VideoLibrary3DTest, SetMaterialTakesANumberOrAKeyTable)
{
    state.run("video.setMaterial(12)");
    MaterialState m = driver->getMaterial();
    EXPECT_EQ(m.MaterialType, 12);
    EXPECT_FALSE(m.Lighting || m.ZBuffer || m.ZWriteEnable);

    // Each colour key replaces its own channel of the default colour only.
    struct Case
    {
        const char* table;
        uint32_t ambient, diffuse, specular, emissive;
    };
    const Case cases[] = {
        {"{materialType = 0, ar = 0}", 0xFF00FFFF, 0xFFFFFFFF, 0, 0},
        {"{ag = 0x1234, db = 7}", 0xFFFF34FF, 0xFFFFFF07, 0, 0},
        {"{sa = 255, sr = 1, ea = 128, eb = 300}", 0xFFFFFFFF, 0xFFFFFFFF, 0xFF010000, 0x8000002C},
        {"{da = -1, dx = 5, [3] = 7, texture = 'x'}", 0xFFFFFFFF, 0xFFFFFFFF, 0, 0},
    };
    for (const Case& c : cases)
    {
        state.run(std::string("video.setMaterial(") + c.table + ")");
        m = driver->getMaterial();
        EXPECT_EQ(m.AmbientColor, c.ambient) << c.table;
        EXPECT_EQ(m.DiffuseColor, c.diffuse) << c.table;
        EXPECT_EQ(m.SpecularColor, c.specular) << c.table;
        EXPECT_EQ(m.EmissiveColor, c.emissive) << c.table;
        EXPECT_TRUE(m.Lighting && m.ZBuffer) << "a table starts from the defaults";
    }
    state.run(
        "video.setMaterial({lighting = false, zbuffer = false, zwrite = false, materialType = 13.9,"
        " clockwiseCull = 1, mirrorU = true, shininess = 2.5})");
    m = driver->getMaterial();
    EXPECT_EQ(m.MaterialType, 13);
    EXPECT_FALSE(m.Lighting || m.ZBuffer || m.ZWriteEnable);
    EXPECT_TRUE(m.FrontfaceClockwise && m.MirrorU && !m.MirrorV);
    EXPECT_FLOAT_EQ(m.Shininess, 2.5f);
}

TEST_F(VideoLibrary3DTest, ConstantsTablesAreReadWholeAndTexturesFollowThem)
{
    state.run("video.createRenderTarget('a', 8, 8) video.createRenderTarget('b', 8, 8)");
    state.run("video.setMaterial(12, {strength = 0.5}, 'a')");
    ASSERT_EQ(constants().size(), 1u);
    EXPECT_EQ(constants()[0].name, zu::core::CString("strength"));
    EXPECT_EQ(constants()[0].count, 1);
    EXPECT_FLOAT_EQ(constants()[0].values[0], 0.5f);
    EXPECT_EQ(driver->getMaterial().Textures[0], driver->findTexture("a"));

    // Up to four values; other values, empty tables and non-string keys are skipped.
    state.run(
        "video.setMaterial(0, {v = {1, 2, 3, 4, 5}, e = {}, s = 'x', [1] = 2, w = {7}}, 'a', 'b')");
    ASSERT_EQ(constants().size(), 2u);
    for (const auto& c : constants())
    {
        if (c.name == "v")
        {
            EXPECT_EQ(c.count, 4);
            EXPECT_FLOAT_EQ(c.values[3], 4.f);
        }
        else
        {
            EXPECT_EQ(c.name, zu::core::CString("w"));
            EXPECT_EQ(c.count, 1);
            EXPECT_FLOAT_EQ(c.values[0], 7.f);
        }
    }
    EXPECT_EQ(driver->getMaterial().Textures[1], driver->findTexture("b"));
    // Without a table the constants stay, and the texture is argument 2.
    state.run("video.setMaterial(0, 'b')");
    EXPECT_EQ(constants().size(), 2u);
    EXPECT_EQ(driver->getMaterial().Textures[0], driver->findTexture("b"));
    state.run("video.renderFullscreenShader(12, {})");
    EXPECT_TRUE(constants().empty());
}

TEST_F(VideoLibrary3DTest, MaterialTypeMinusOneAndTypesPastTheRegistryAreHarmless)
{
    driver->installRecordingRenderers();
    CCapture capture;
    EXPECT_EQ(state.run("return video.createCgShader('v.cg', 'p.cg')"), "-1");
    EXPECT_EQ(state.run("return video.createGlslShader('', 'p.frag')"), "-1");
    EXPECT_EQ(state.run("return video.createFileMaterial('p.arb')"), "-1");
    EXPECT_EQ(state.run("return video.createCgShader('v.cg')"), "") << "too few arguments";
    const std::string calls = "video.createRenderTarget('frame', 64, 64) "
                              "local slot = video.createSpriteState('dot', FOLDER .. '/dot.spr') "
                              "for _, m in ipairs({-1, 999}) do "
                              "  video.setMaterial(m) video.setMaterial({materialType = m}) "
                              "  video.renderFullscreenShader(m, {x = 1}, 'frame', 'frame') "
                              "  video.renderSpriteStateShader(m, slot, 10, 10, 1, 'frame') "
                              "  video.setUseMaterialFor2d(true) video.renderRectangle(0, 0, 5, 5) "
                              "  video.renderTriangleList(3, 1, {0, 1, 2}, {0, 1, 0}, {0, 0, 1}, "
                              "{0, 0, 0}, {0, 0, 0}, {0, 0, 0}) "
                              "  video.setUseMaterialFor2d(false) video.render3dScene() "
                              "end";
    EXPECT_EQ(state.run(calls), "");
    driver->flush2D();
    EXPECT_TRUE(CCapture::checks().empty());
    // One line per unknown type for the whole run, not one per draw.
    int minusOne = 0;
    for (const std::string& line : CCapture::lines())
        if (line.find("Material type -1 has no renderer") != std::string::npos) ++minusOne;
    EXPECT_EQ(minusOne, 1);
    // The shader passes of unknown types drew nothing; the rest drew solid.
    for (const auto& draw : driver->draws)
        EXPECT_NE(draw.primitiveType, zu::video::PT_TRIANGLE_STRIP);
    EXPECT_TRUE(std::find(driver->events.begin(), driver->events.end(), "bind 0 as 0") !=
                driver->events.end());
}

TEST_F(VideoLibrary3DTest, ASpriteShaderPassIsClippedAtEveryEdgeOfTheScreen)
{
    state.run("video.createRenderTarget('frame') SLOT = video.createSpriteState('dot', FOLDER .. "
              "'/dot.spr')");
    driver->setForcePointSampling(true); // texture coordinates without the half-texel inset
    zu::video::ISpriteAnimationState* dot = library->getState(0);
    ASSERT_TRUE(dot && dot->getTexture(0));
    const zu::video::SRecti s = dot->getSourceRect(0);
    const zu::core::SDimension2i page = dot->getTexture(0)->getSize();
    // Twice the size: an 8 x 8 square around (x, y); what is cut off the
    // screen is cut off the sprite's rectangle too, in its own pixels.
    struct Case
    {
        float x, y;
        zu::video::SRecti dest;
        int cutLeft, cutTop, cutRight, cutBottom;
    };
    const Case cases[] = {
        {100, 50, {96, 46, 104, 54}, 0, 0, 0, 0},    {1, 50, {0, 46, 5, 54}, 1, 0, 0, 0},
        {798, 50, {794, 46, 800, 54}, 0, 0, 1, 0},   {100, 1, {96, 0, 104, 5}, 0, 1, 0, 0},
        {100, 598, {96, 594, 104, 600}, 0, 0, 0, 1},
    };
    for (const Case& c : cases)
    {
        driver->draws.clear();
        state.run("video.renderSpriteStateShader(12, SLOT, " + std::to_string(c.x) + ", " +
                  std::to_string(c.y) + ", 2, {glow = 1}, 'frame')");
        ASSERT_EQ(driver->draws.size(), 1u) << c.x << ", " << c.y;
        const auto& v = driver->draws[0].vertices;
        ASSERT_EQ(v.size(), 4u);
        EXPECT_FLOAT_EQ(pixelX(v[0].x), float(c.dest.left)) << c.x << ", " << c.y;
        EXPECT_FLOAT_EQ(pixelY(v[0].y), float(c.dest.top));
        EXPECT_FLOAT_EQ(pixelX(v[3].x), float(c.dest.right));
        EXPECT_FLOAT_EQ(pixelY(v[3].y), float(c.dest.bottom));
        // The sprite's own rectangle arrives as the second coordinates.
        EXPECT_FLOAT_EQ(v[0].nx * float(page.width), float(s.left + c.cutLeft));
        EXPECT_FLOAT_EQ(v[0].ny * float(page.height), float(s.top + c.cutTop));
        EXPECT_FLOAT_EQ(v[3].nx * float(page.width), float(s.right - c.cutRight));
        EXPECT_FLOAT_EQ(v[3].ny * float(page.height), float(s.bottom - c.cutBottom));
        EXPECT_EQ(driver->getMaterial().Textures[0], driver->findTexture("frame"));
        EXPECT_EQ(driver->getMaterial().Textures[1], dot->getTexture(0));
    }
    ASSERT_EQ(constants().size(), 1u);
    // Wholly off the screen, with a bad slot or without the texture: nothing.
    driver->draws.clear();
    for (const char* call : {"video.renderSpriteStateShader(12, SLOT, -10, 50, 2, 'frame')",
                             "video.renderSpriteStateShader(12, SLOT, 100, 700, 2, 'frame')",
                             "video.renderSpriteStateShader(12, 5, 100, 50, 2, 'frame')",
                             "video.renderSpriteStateShader(12, SLOT, 100, 50, 2, 'none')",
                             "video.renderSpriteStateShader(12, SLOT, 100, 50, 0, 'frame')"})
        state.run(call);
    EXPECT_TRUE(driver->draws.empty());
}

TEST_F(VideoLibrary3DTest, TriangleListsAreCheckedAgainstTheirTables)
{
    zu::core::CMatrix4 moved;
    moved(3, 0) = 5.f;
    driver->setTransform(zu::video::ETS_WORLD, moved);
    // Triangle 2 names vertex 3 of three: it is left out, the others stay.
    state.run("video.renderTriangleList(3, 3, {0, 1, 2, 0, 1, 3, 2, 1, 0}, {0, 1, 0}, {0, 0, 1},"
              " {1, 1, 1}, {0, 1, 0}, {0, 0, 1}, {128}, {nil, 10})");
    ASSERT_EQ(driver->draws.size(), 1u);
    EXPECT_EQ(driver->draws[0].mode, 2);
    EXPECT_EQ(driver->draws[0].indices, (std::vector<uint16_t>{0, 1, 2, 2, 1, 0}));
    EXPECT_EQ(driver->draws[0].vertices[0].color, 0x80FFFFFFu);
    EXPECT_EQ(driver->draws[0].vertices[1].color, 0xFF0AFFFFu);
    EXPECT_FLOAT_EQ(driver->draws[0].vertices[1].u, 1.f);
    EXPECT_TRUE(driver->getTransform(zu::video::ETS_WORLD).isIdentity()) << "reset";

    // The normals form keeps the world transform and reads the normals.
    driver->draws.clear();
    driver->setTransform(zu::video::ETS_WORLD, moved);
    state.run(
        "video.renderTriangleListWithNormals(3, 1, {0, 1, 2}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0},"
        " {0, 0, 0}, {0, 0, 0}, {-1, -1, -1}, {0, 1, 0}, {0, 0, 1})");
    ASSERT_EQ(driver->draws.size(), 1u);
    EXPECT_FLOAT_EQ(driver->draws[0].vertices[2].nz, -1.f);
    EXPECT_FLOAT_EQ(driver->draws[0].vertices[2].v, 1.f);
    EXPECT_FLOAT_EQ(driver->getTransform(zu::video::ETS_WORLD)(3, 0), 5.f);

    // Refused: counts of 0 or less, past the caps, tables missing, or no
    // triangle left.
    driver->draws.clear();
    CCapture capture;
    for (const char* call :
         {"video.renderTriangleList(0, 1, {0, 0, 0}, {0}, {0}, {0}, {0}, {0})",
          "video.renderTriangleList(3, -1, {0, 1, 2}, {0}, {0}, {0}, {0}, {0})",
          "video.renderTriangleList(70000, 1, {0, 1, 2}, {0}, {0}, {0}, {0}, {0})",
          "video.renderTriangleList(3, 30000, {0, 1, 2}, {0}, {0}, {0}, {0}, {0})",
          "video.renderTriangleList(3, 1, {0, 1, 2}, {0}, {0}, {0}, 5, {0})",
          "video.renderTriangleList(3, 1, {0, 1, 7}, {0}, {0}, {0}, {0}, {0})",
          "video.renderTriangleList(3, 1, {0, 1, 2}, {0}, {0}, {0}, {0})"})
        EXPECT_EQ(state.run(call), "") << call;
    EXPECT_TRUE(driver->draws.empty());
    EXPECT_TRUE(CCapture::logged("Triangle list refused: 70000 vertices"));
    // More triangles than the index table holds draw only those it holds.
    state.run("video.renderTriangleList(3, 100, {0, 1, 2}, {0, 1, 0}, {0, 0, 1}, {0}, {0}, {0})");
    ASSERT_EQ(driver->draws.size(), 1u);
    EXPECT_EQ(driver->draws[0].indices.size(), 3u);
}

TEST_F(VideoLibrary3DTest, ScriptMeshesAreDrawnInPixelsScaledTurnedAndMoved)
{
    EXPECT_EQ(state.run("return video.createMesh({0, 1, 5}, {0, 10, 0}, {0, 0, 10})"), "nil");
    EXPECT_EQ(state.run("MESH = video.createMesh({0, 1, 2}, {0, 10, 0}, {0, 0, 10}, nil, nil,"
                        " {255, 255, 255}, {255, 0, 0}) return type(MESH)"),
              "userdata");
    state.run("video.renderMesh(MESH, 100, 50, 90, 2, 3)");
    ASSERT_EQ(driver->draws.size(), 1u);
    const auto& v = driver->draws[0].vertices;
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(driver->draws[0].mode, 1);
    // (10, 0) is scaled to (20, 0), turned a quarter to (0, 20), moved by (100, 50).
    EXPECT_NEAR(pixelX(v[1].x), 100.f, 1e-3f);
    EXPECT_NEAR(pixelY(v[1].y), 70.f, 1e-3f);
    EXPECT_NEAR(pixelX(v[2].x), 70.f, 1e-3f) << "(0, 10) scaled to (0, 30), turned to (-30, 0)";
    EXPECT_EQ(v[0].color, 0xFFFFFFFFu) << "white unless a channel is given";
    EXPECT_EQ(v[1].color, 0xFF00FFFFu);
    EXPECT_NE(state.run("return pcall(video.renderMesh, {})"), "true");
}

TEST_F(VideoLibrary3DTest, TheCameraIsTheLibrarysAndItsRayFollowsIt)
{
    zu::scene::ICameraSceneNode* camera = library->getCamera();
    ASSERT_TRUE(camera);
    EXPECT_EQ(scene->getActiveCamera(), camera);
    EXPECT_EQ(state.run("return video.getCameraRay(400, 300)"), "0,0,0,0,0,3000");
    state.run("video.setCameraFarClip(50) video.setCameraNearClip(2) video.setCameraFOV(0.5)");
    EXPECT_FLOAT_EQ(camera->getFarValue(), 50.f);
    EXPECT_FLOAT_EQ(camera->getNearValue(), 2.f);
    EXPECT_FLOAT_EQ(camera->getFOV(), 0.5f);
    state.run("video.setCameraFarClip() video.setCameraNearClip()");
    EXPECT_FLOAT_EQ(camera->getFarValue(), 3000.f);
    EXPECT_FLOAT_EQ(camera->getNearValue(), 1.f);
    // Looking from (0, 0, -5) at (0, 0, 10): the centre ray runs along +z.
    state.run("video.setCameraPosition(0, 0, -5) video.setCameraViewPosition(0, 0, 10)"
              " video.setCameraUpVector(0, 1, 0)");
    EXPECT_EQ(state.run("return video.getCameraRay(400, 300)"), "0,0,-5,0,0,2995");
    // Looking along +x instead.
    state.run("video.setCameraViewPosition(10, 0, -5)");
    EXPECT_EQ(state.run("local sx, sy, sz, ex, ey, ez = video.getCameraRay(400, 300)"
                        " return math.floor(ex + 0.5), math.floor(ey + 0.5), math.floor(ez + 0.5)"),
              "3000,0,-5");
    EXPECT_EQ(state.run("return video.getCameraRay(1)"), "");
}

TEST_F(VideoLibrary3DTest, SceneNodesAndLightsGetHandlesInTheOrderMade)
{
    const int32_t cameraOnly = scene->getNodeCount();
    EXPECT_EQ(
        state.run("return video.createSceneNode(FOLDER .. '/cube.obj', FOLDER .. '/nothing.tga')"),
        "-1");
    EXPECT_EQ(
        state.run("return video.createSceneNode(FOLDER .. '/none.obj', FOLDER .. '/skin.tga')"),
        "-1");
    EXPECT_EQ(state.run("return video.createSceneNode(FOLDER .. '/cube.obj')"), "-1");
    EXPECT_EQ(scene->getNodeCount(), cameraOnly) << "no node for a failed call";

    EXPECT_EQ(state.run("return video.createSceneNode(FOLDER .. '/cube.obj', FOLDER .. '/skin.tga',"
                        " 1, 2, 3, 0, 90, 0, 2, 2, 2)"),
              "0");
    zu::scene::ISceneNode* node = library->getSceneNode(0);
    ASSERT_TRUE(node);
    EXPECT_FLOAT_EQ(node->getPosition().z, 3.f);
    EXPECT_FLOAT_EQ(node->getRotation().y, 90.f);
    EXPECT_FLOAT_EQ(node->getScale().x, 2.f);
    ASSERT_EQ(node->getMaterialCount(), 1);
    EXPECT_EQ(node->getMaterial(0).MaterialType, 0);
    EXPECT_FALSE(node->getMaterial(0).SmoothShading);
    ASSERT_TRUE(node->getMaterial(0).Textures[0]);
    EXPECT_EQ(node->getMaterial(0).Textures[0]->getSize().width, 2);

    // Position only with all three, rotation and scale likewise.
    EXPECT_EQ(
        state.run(
            "return video.createSceneNode(FOLDER .. '/cube.obj', FOLDER .. '/skin.tga', 4, 5)"),
        "1");
    EXPECT_FLOAT_EQ(library->getSceneNode(1)->getPosition().x, 0.f);

    EXPECT_EQ(state.run("return video.createLightSceneNode(0, 0, 2, 0)"), "2");
    auto* light = dynamic_cast<zu::scene::ILightSceneNode*>(library->getSceneNode(2));
    ASSERT_TRUE(light);
    EXPECT_TRUE(light->getLightData().directional);
    EXPECT_FLOAT_EQ(light->getLightData().radius, 1.f);
    EXPECT_FLOAT_EQ(light->getLightData().position[2], 1.f) << "the direction, of length 1";
    EXPECT_EQ(state.run("return video.createLightSceneNode(1, 2, 3, 5, 255, 255, 0, 51)"), "3");
    light = dynamic_cast<zu::scene::ILightSceneNode*>(library->getSceneNode(3));
    ASSERT_TRUE(light);
    EXPECT_FALSE(light->getLightData().directional);
    EXPECT_FLOAT_EQ(light->getLightData().radius, 5.f);
    EXPECT_FLOAT_EQ(light->getLightData().diffuse[0], 1.f);
    EXPECT_FLOAT_EQ(light->getLightData().diffuse[1], 0.f);
    EXPECT_NEAR(light->getLightData().diffuse[2], 0.2f, 1e-6f);
    EXPECT_EQ(state.run("return video.createLightSceneNode(1, 2)"), "-1");

    state.run("video.setSceneNodePosition(0, 7, 8, 9) video.setSceneNodeRotation(0, 1, 2, 3)"
              " video.setSceneNodeScale(0, 4, 4, 4) video.setSceneNodePosition(9, 1, 1, 1)"
              " video.setSceneNodePosition(-1, 1, 1, 1) video.setSceneNodeScale(0, 1, 1)");
    EXPECT_FLOAT_EQ(node->getPosition().x, 7.f);
    EXPECT_FLOAT_EQ(node->getRotation().z, 3.f);
    EXPECT_FLOAT_EQ(node->getScale().y, 4.f);

    // render3dScene draws the two cubes and leaves the world transform as it found nothing.
    driver->draws.clear();
    state.run("video.render3dScene()");
    EXPECT_EQ(driver->draws.size(), 2u);
    EXPECT_EQ(driver->getLightCount(), 2);
    EXPECT_TRUE(driver->getTransform(zu::video::ETS_WORLD).isIdentity());
}

TEST_F(VideoLibrary3DTest, The3DPrimitivesAndTheDeprecatedFunctions)
{
    state.run("video.render3dTriangle(0, 0, 0, 1, 0, 0, 0, 1, 0)");
    // Three edges, each two thin triangles with both windings.
    ASSERT_EQ(driver->draws.size(), 3u);
    EXPECT_EQ(driver->draws[0].vertices[0].color, 0xFF00FF00u);
    driver->draws.clear();
    state.run(
        "video.render3dLine(0, 0, 0, 1, 1, 1) video.render3dLine(0, 0, 0, 1, 1, 1, 1, 2, 3, 4)"
        " video.render3dLine(0, 0, 0, 1, 1)");
    ASSERT_EQ(driver->draws.size(), 2u);
    EXPECT_EQ(driver->draws[0].vertices[0].color, 0xFFFFFFFFu);
    EXPECT_EQ(driver->draws[1].vertices[0].color, 0x01020304u);

    driver->draws.clear();
    CCapture capture;
    EXPECT_EQ(state.run("video.setFileMaterial('x') video.enablePostProcessing(true)"
                        " video.captureScreenBuffer() video.renderFullscreenPP(1, 2)"
                        " video.setScreenBufferMaterial(1) video.setScreenBufferMaterial_2(1)"
                        " video.renderSpriteStatePP(0, 0, 0) return 1"),
              "1");
    EXPECT_TRUE(driver->draws.empty());
    EXPECT_TRUE(CCapture::checks().empty());
}
