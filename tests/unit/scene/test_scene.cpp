// The least 3D scene on the recording driver: models read by Assimp from
// files written at test time, the mesh cache and its failures, the camera's
// matrices and pick ray, node placement and what drawAll hands the driver.
#include "SceneTestSupport.h"
#include "video/CRecordingDriver.h"

#include "io/CFileSystem.h"
#include "scene/CSceneManager.h"
#include "scene/ICameraSceneNode.h"
#include "scene/ILightSceneNode.h"
#include "scene/IMesh.h"
#include "scene/ISceneNode.h"
#include "scene/SceneMath.h"
#include "video/Mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using iotest::CCapture;
using kelvo::scene::operator-;
using zu::video::SVector3f;

namespace
{

// Also writes down the world transform each draw was made with.
class CWorldRecorder : public videotest::CRecordingDriver
{
  public:
    using CRecordingDriver::CRecordingDriver;
    void drawRenderState(zu::video::RenderState& state) override
    {
        CRecordingDriver::drawRenderState(state);
        worlds.push_back(getTransform(zu::video::ETS_WORLD));
        materials.push_back(getMaterial());
    }
    std::vector<zu::core::CMatrix4> worlds;
    std::vector<zu::video::MaterialState> materials;
};

class SceneTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        folder = iotest::makeScratchFolder("scene");
        cube = folder + "/cube.obj";
        scenetest::writeCubeObj(cube, 1.f);
        fs = new kelvo::io::CFileSystem();
        driver = new CWorldRecorder(fs, {800, 600});
        scene = new kelvo::scene::CSceneManager(driver, fs);
    }
    void TearDown() override
    {
        scene->drop();
        driver->drop();
        fs->drop();
    }

    std::string folder, cube;
    kelvo::io::CFileSystem* fs = nullptr;
    CWorldRecorder* driver = nullptr;
    kelvo::scene::CSceneManager* scene = nullptr;
};

void expectNear(SVector3f got, SVector3f expected, float tolerance = 1e-3f)
{
    EXPECT_NEAR(got.x, expected.x, tolerance);
    EXPECT_NEAR(got.y, expected.y, tolerance);
    EXPECT_NEAR(got.z, expected.z, tolerance);
}

} // namespace

TEST_F(SceneTest, ModelsLoadOnceFromObjAnd3dsFiles)
{
    const std::string threeDS = folder + "/cube.3ds";
    ASSERT_TRUE(scenetest::convertModel(cube, threeDS)) << "assimp export";
    for (const std::string& path : {cube, threeDS})
    {
        zu::scene::IMesh* mesh = scene->getMesh(path.c_str());
        ASSERT_TRUE(mesh) << path;
        EXPECT_EQ(scene->getMesh(path.c_str()), mesh) << "cached by path";
        int32_t triangles = 0;
        for (int32_t i = 0; i < mesh->getPartCount(); ++i)
            triangles += mesh->getPart(i)->getIndexCount() / 3;
        EXPECT_EQ(triangles, 12) << path;
        const zu::video::SBox3f& box = mesh->getBoundingBox();
        expectNear(box.minEdge, {-1.f, -1.f, -1.f});
        expectNear(box.maxEdge, {1.f, 1.f, 1.f});
    }
}

TEST_F(SceneTest, NormalsPointOutwardsAndFrontFacesWindClockwiseWithOrWithoutNormalsInTheFile)
{
    const std::string bare = folder + "/bare.obj";
    scenetest::writeCubeObj(bare, 1.f, false);
    for (const std::string& path : {cube, bare})
    {
        zu::scene::IMesh* mesh = scene->getMesh(path.c_str());
        ASSERT_TRUE(mesh) << path;
        zu::video::Mesh* part = mesh->getPart(0);
        auto vector = [&](uint16_t i, zu::video::EVertexFeature f)
        {
            SVector3f v;
            memcpy(&v, part->vertexAttribute(i, f), sizeof v);
            return v;
        };
        ASSERT_EQ(part->getIndexCount(), 36) << path;
        for (uint16_t t = 0; t < part->getIndexCount(); t += 3)
        {
            const uint16_t* i = part->getIndices() + t;
            const SVector3f a = vector(i[0], zu::video::FT_POSITION3D);
            const SVector3f b = vector(i[1], zu::video::FT_POSITION3D);
            const SVector3f c = vector(i[2], zu::video::FT_POSITION3D);
            const SVector3f n = vector(i[0], zu::video::FT_NORMAL);
            // Outwards: away from the cube's middle.
            EXPECT_GT(kelvo::scene::dot(n, a), 0.f) << path << ", triangle " << t / 3;
            // In this left-handed space a face seen from outside winds
            // clockwise, which makes this cross product point outwards.
            EXPECT_GT(kelvo::scene::dot(kelvo::scene::cross(b - a, c - a), n), 0.f)
                << path << ", triangle " << t / 3;
        }
    }
}

TEST_F(SceneTest, AFileThatCannotBeReadIsReportedOnceUntilTheSceneIsCleared)
{
    iotest::writeDiskFile(folder + "/broken.obj", "this is no model\n\x01\x02");
    for (const std::string& path : {folder + "/missing.obj", folder + "/broken.obj"})
    {
        {
            CCapture capture;
            EXPECT_EQ(scene->getMesh(path.c_str()), nullptr);
            ASSERT_EQ(CCapture::lines().size(), 1u) << path;
            EXPECT_NE(CCapture::lines()[0].find("Could not load mesh " + path), std::string::npos);
        }
        {
            CCapture capture;
            EXPECT_EQ(scene->getMesh(path.c_str()), nullptr);
            EXPECT_TRUE(CCapture::lines().empty()) << path;
        }
        scene->clear();
        CCapture capture;
        EXPECT_EQ(scene->getMesh(path.c_str()), nullptr);
        EXPECT_EQ(CCapture::lines().size(), 1u) << "tried again after a clear";
    }
}

TEST_F(SceneTest, TheCameraLooksAlongItsLineOfSightAndPicksThroughTheScreen)
{
    zu::scene::ICameraSceneNode* camera = scene->addCameraSceneNode({0, 0, -5}, {0, 0, 0}, -1);
    EXPECT_EQ(scene->getActiveCamera(), camera);
    // The origin is 5 ahead; a point to the right stays on the right.
    expectNear(kelvo::scene::transformPoint(camera->getViewMatrix(), {0, 0, 0}), {0, 0, 5});
    expectNear(kelvo::scene::transformPoint(camera->getViewMatrix(), {1, 2, 0}), {1, 2, 5});
    // Near and far planes land on the edges of the depth range.
    camera->setNearValue(1.f);
    camera->setFarValue(100.f);
    const zu::core::CMatrix4 signedDepth = camera->getProjectionMatrix(4.f / 3.f, true);
    const zu::core::CMatrix4 unitDepth = camera->getProjectionMatrix(4.f / 3.f, false);
    EXPECT_NEAR(kelvo::scene::transformPoint(signedDepth, {0, 0, 1}).z, -1.f, 1e-4f);
    EXPECT_NEAR(kelvo::scene::transformPoint(signedDepth, {0, 0, 100}).z, 1.f, 1e-4f);
    EXPECT_NEAR(kelvo::scene::transformPoint(unitDepth, {0, 0, 1}).z, 0.f, 1e-4f);
    EXPECT_NEAR(kelvo::scene::transformPoint(unitDepth, {0, 0, 100}).z, 1.f, 1e-4f);
    // The field of view is vertical: the top edge of the picture is at
    // tan(fov / 2) of the distance.
    const float top = std::tan(camera->getFOV() / 2.f);
    EXPECT_NEAR(kelvo::scene::transformPoint(unitDepth, {0, top * 10, 10}).y, 1.f, 1e-4f);

    SVector3f start, end;
    ASSERT_TRUE(scene->getRayFromScreenCoordinates(400, 300, start, end));
    expectNear(start, {0, 0, -5});
    expectNear(end, {0, 0, 95}, 1e-2f);
    ASSERT_TRUE(scene->getRayFromScreenCoordinates(800, 0, start, end));
    EXPECT_NEAR(end.x / (end.z + 5.f), top * 4.f / 3.f, 1e-3f) << "the right edge";
    EXPECT_NEAR(end.y / (end.z + 5.f), top, 1e-3f) << "the top edge";

    scene->clear();
    EXPECT_EQ(scene->getActiveCamera(), nullptr);
    EXPECT_FALSE(scene->getRayFromScreenCoordinates(400, 300, start, end));
}

TEST_F(SceneTest, NodesAreScaledThenTurnedThenMoved)
{
    zu::scene::IMesh* mesh = scene->getMesh(cube.c_str());
    ASSERT_TRUE(mesh);
    zu::scene::ISceneNode* node =
        scene->addMeshSceneNode(mesh, {0, 0, 10}, {0, 90, 0}, {2, 1, 1}, 7);
    EXPECT_EQ(node->getID(), 7);
    // (1, 0, 0) becomes (2, 0, 0), then turns a quarter about y to (0, 0, -2).
    expectNear(kelvo::scene::transformPoint(node->getAbsoluteTransformation(), {1, 0, 0}),
               {0, 0, 8});
    node->setRotation({0, 0, 90});
    expectNear(kelvo::scene::transformPoint(node->getAbsoluteTransformation(), {1, 0, 0}),
               {0, 2, 10});
    node->setRotation({90, 0, 0});
    expectNear(kelvo::scene::transformPoint(node->getAbsoluteTransformation(), {0, 1, 0}),
               {0, 0, 11});
}

TEST_F(SceneTest, DrawAllSetsTheCameraAndLightsAndDrawsOpaqueNodesFirst)
{
    zu::scene::ICameraSceneNode* camera = scene->addCameraSceneNode({0, 0, -5}, {0, 0, 0}, -1);
    zu::scene::IMesh* mesh = scene->getMesh(cube.c_str());
    ASSERT_TRUE(mesh);
    zu::scene::ISceneNode* glass = scene->addMeshSceneNode(mesh, {-2, 0, 0}, {}, {1, 1, 1}, -1);
    glass->getMaterial(0).MaterialType = zu::video::EMT_TRANSPARENT_ALPHA_CHANNEL;
    scene->addMeshSceneNode(mesh, {2, 0, 0}, {}, {1, 1, 1}, -1);
    const float warm[4] = {1.f, 0.5f, 0.25f, 1.f};
    zu::scene::ILightSceneNode* light = scene->addLightSceneNode({1, 2, 3}, warm, 10.f, -1);
    light->setPosition({4, 5, 6});
    EXPECT_EQ(scene->getNodeCount(), 4);

    scene->drawAll();
    ASSERT_EQ(driver->draws.size(), 2u);
    EXPECT_EQ(driver->draws[0].mode, 2);
    EXPECT_FLOAT_EQ(driver->worlds[0](3, 0), 2.f) << "the opaque node first";
    EXPECT_FLOAT_EQ(driver->worlds[1](3, 0), -2.f);
    EXPECT_EQ(driver->materials[1].MaterialType, zu::video::EMT_TRANSPARENT_ALPHA_CHANNEL);
    EXPECT_EQ(driver->draws[0].indices.size(), 36u);
    ASSERT_EQ(driver->getLightCount(), 1);
    const zu::video::SLight* placed = driver->getLight(0);
    EXPECT_FLOAT_EQ(placed->position[0], 4.f) << "a point light goes where its node is";
    EXPECT_FLOAT_EQ(placed->position[2], 6.f);
    EXPECT_FLOAT_EQ(placed->diffuse[1], 0.5f);
    EXPECT_FLOAT_EQ(placed->radius, 10.f);
    const zu::core::CMatrix4 view = driver->getTransform(zu::video::ETS_VIEW);
    EXPECT_FLOAT_EQ(view(3, 2), camera->getViewMatrix()(3, 2));

    // Lights are handed over afresh each frame.
    driver->draws.clear();
    scene->drawAll();
    EXPECT_EQ(driver->getLightCount(), 1);
    EXPECT_EQ(driver->draws.size(), 2u);
    scene->clear();
    driver->draws.clear();
    scene->drawAll();
    EXPECT_TRUE(driver->draws.empty());
    EXPECT_EQ(driver->getLightCount(), 0);
}
