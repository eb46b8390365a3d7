// The script table `particles` on the recording driver: loading with a
// sprite package, spawning, one update and one draw for all, the surface
// function and its errors, the argument rules, and a restart that leaves no
// particle behind.
#include "LuaTestState.h"
#include "io/IoTestSupport.h"
#include "video/CRecordingDriver.h"

#include "CParticleWriter.h"
#include "CSpriteWriter.h"
#include "io/CFileSystem.h"
#include "lua/CLuaParticleLibrary.h"
#include "video/IParticlePackage.h"
#include "video/SParticleDefinition.h"
#include "video/null/CParticlePackage.h"

#include <gtest/gtest.h>

using luatest::CState;
using zu::video::SParticleDefinition;

namespace
{

SParticleDefinition named(const char* name)
{
    SParticleDefinition d;
    d.name = name;
    d.sprites = "dot";
    d.lifeMin = 0;
    return d;
}

class ParticleLibraryTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        folder = iotest::makeScratchFolder("particle-library");
        std::vector<uint8_t> white(4 * 4 * 4, 255);
        pellora::spritepack::CSpriteWriter sprites;
        sprites.setTrim(false);
        const int image = sprites.addImage(white.data(), 4, 4, 2, 2);
        sprites.addAnimation("dot", {{image, -1, 1}});
        std::string error;
        ASSERT_TRUE(sprites.writeFile(folder + "/fx.spr", 4, error)) << error;

        // "drop" dies after 100 ms and leaves two splashes on water, one
        // ember elsewhere; "fountain" emits two drops every 100 ms.
        SParticleDefinition drop = named("drop");
        drop.lifeMin = 100;
        drop.deathList = {"ember", "@Water", "splash", "splash"};
        SParticleDefinition fountain = named("fountain");
        fountain.children = {"drop"};
        fountain.emitMin = fountain.emitMax = 2;
        fountain.intervalMin = 100;
        SParticleDefinition fine = named("fine");
        fine.level = 4;
        const std::vector<uint8_t> bytes = pellora::particlepack::CParticleWriter::write(
            {drop, fountain, named("splash"), named("ember"), fine});
        iotest::writeDiskFile(folder + "/fx.par", std::string(bytes.begin(), bytes.end()));

        fs = new kelvo::io::CFileSystem();
        driver = new videotest::CRecordingDriver(fs, {800, 600});
        start();
    }
    void TearDown() override
    {
        stop();
        driver->drop();
        fs->drop();
    }
    // A fresh script state with the library, as a run of a game has.
    void start()
    {
        state = new CState();
        library = new zu::lua::CLuaParticleLibrary(driver, nullptr);
        library->install(state->L);
        state->run("FOLDER = '" + folder + "'");
    }
    // The end of a run: the state closes first, then the library goes.
    void stop()
    {
        state->close();
        delete state;
        delete library;
        state = nullptr;
        library = nullptr;
    }
    int flushedQuads()
    {
        driver->flush2D();
        size_t vertices = 0;
        for (const videotest::SRecordedDraw& d : driver->draws)
            vertices += d.vertices.size();
        driver->draws.clear();
        return int(vertices / 4);
    }

    iotest::CCapture capture;
    std::string folder;
    kelvo::io::CFileSystem* fs = nullptr;
    videotest::CRecordingDriver* driver = nullptr;
    CState* state = nullptr;
    zu::lua::CLuaParticleLibrary* library = nullptr;
};

} // namespace

TEST_F(ParticleLibraryTest, LoadSpawnUpdateAndDrawEveryParticle)
{
    EXPECT_EQ(state->run("fx = particles.load(FOLDER .. '/fx.par', FOLDER .. '/fx.spr')"
                         " return fx, particles.load(FOLDER .. '/fx.par', FOLDER .. '/fx.spr')"),
              "1,1");
    EXPECT_EQ(state->run("return table.concat(particles.getNames(fx), ',')"),
              "drop,fountain,splash,ember,fine");
    EXPECT_EQ(state->run("return particles.spawn(fx, 'fountain', 100, 200),"
                         " particles.spawn(fx, 'nothing', 0, 0), particles.spawn(7, 'drop', 0, 0)"),
              "true,false,false");
    EXPECT_EQ(state->run("return particles.getCount()"), "1");
    // The fountain emits two drops; they die 100 ms later and leave embers.
    EXPECT_EQ(state->run("particles.update(0.05) return particles.getCount()"), "3");
    state->run("particles.render()");
    EXPECT_EQ(flushedQuads(), 3);
    EXPECT_EQ(state->run("particles.update(0.1) return particles.getCount()"), "5");
    EXPECT_EQ(state->run("particles.clear() return particles.getCount()"), "0");
    state->run("particles.render()");
    EXPECT_EQ(flushedQuads(), 0);

    // A spawn's velocity moves it: 40 pixels in half a second.
    state->run("particles.spawn(fx, 'ember', 100, 200, 80, -20) particles.update(0.5)"
               " particles.render(2)");
    driver->flush2D();
    ASSERT_EQ(driver->draws.size(), 1u);
    const zu::video::SVector2f topLeft = driver->map2D(140 - 4, 190 - 4);
    EXPECT_NEAR(driver->draws[0].vertices[0].x, topLeft.x, 1e-5f);
    EXPECT_NEAR(driver->draws[0].vertices[0].y, topLeft.y, 1e-5f);
}

TEST_F(ParticleLibraryTest, LoadingFailsWithNilForMissingFiles)
{
    EXPECT_EQ(state->run("return particles.load(FOLDER .. '/none.par', FOLDER .. '/fx.spr')"),
              "nil");
    EXPECT_TRUE(capture.logged("Could not load particle package"));
    EXPECT_EQ(state->run("return particles.load(FOLDER .. '/fx.par', FOLDER .. '/none.spr')"),
              "nil");
    EXPECT_TRUE(capture.logged("Could not find a sprite package file"));
    EXPECT_EQ(state->run("return particles.getNames(1) == nil"), "true");
}

TEST_F(ParticleLibraryTest, TheSurfaceFunctionPicksTheDeathListSection)
{
    state->run("fx = particles.load(FOLDER .. '/fx.par', FOLDER .. '/fx.spr')");
    state->run(
        "particles.setSurfaceFunction(function(x, y) if x > 400 then return '@WATER' end end)");
    state->run("particles.spawn(fx, 'drop', 100, 0) particles.spawn(fx, 'drop', 500, 0)"
               " particles.update(0.1)");
    EXPECT_EQ(state->run("return particles.getCount()"), "3"); // an ember, two splashes
    state->run("particles.setSurfaceFunction()");
    state->run("particles.clear() particles.spawn(fx, 'drop', 500, 0) particles.update(0.1)");
    EXPECT_EQ(state->run("return particles.getCount()"), "1"); // an ember, on no surface

    // An error in the function is raised from update, after the update.
    state->run("particles.setSurfaceFunction(function() error('no map loaded') end)");
    state->run(
        "particles.clear() particles.spawn(fx, 'drop', 0, 0) particles.spawn(fx, 'drop', 0, 0)");
    const std::string result = state->run("particles.update(0.1)");
    EXPECT_NE(result.find("no map loaded"), std::string::npos) << result;
    EXPECT_EQ(state->run("return particles.getCount()"), "2");
}

TEST_F(ParticleLibraryTest, ArgumentsOfTheWrongTypeRaise)
{
    struct SCase
    {
        const char* call;
        const char* error;
    };
    const SCase cases[] = {
        {"particles.spawn('fx', 'drop', 0, 0)",
         "bad argument #1 to 'spawn' (number expected, got string)"},
        {"particles.spawn(1, 'drop', 'left', 0)", "bad argument #3 to 'spawn'"},
        {"particles.spawn(1)", "bad argument #2 to 'spawn'"},
        {"particles.update()", "bad argument #1 to 'update'"},
        {"particles.setSurfaceFunction(5)",
         "bad argument #1 to 'setSurfaceFunction' (function expected, got number)"},
        {"particles.load({}, 'fx.spr')", "bad argument #1 to 'load'"},
        {"particles.load('fx.par')", "bad argument #2 to 'load'"},
        {"particles.setDetailLevel({})", "bad argument #1 to 'setDetailLevel'"},
    };
    for (const SCase& c : cases)
    {
        const std::string result = state->run(c.call);
        EXPECT_NE(result.find(c.error), std::string::npos) << c.call << " gave " << result;
    }
    // NaN positions are 0; optional arguments may be nil.
    state->run("fx = particles.load(FOLDER .. '/fx.par', FOLDER .. '/fx.spr')");
    EXPECT_EQ(state->run("return particles.spawn(fx, 'ember', 0/0, 10, nil, nil)"), "true");
    EXPECT_EQ(
        state->run("particles.setGround() particles.setShadow(1, 2) return particles.getCount()"),
        "1");
}

TEST_F(ParticleLibraryTest, DetailLevelDecidesWhatIsAvailable)
{
    state->run("fx = particles.load(FOLDER .. '/fx.par', FOLDER .. '/fx.spr')");
    EXPECT_EQ(
        state->run("return particles.isAvailable(fx, 'fine'), particles.isAvailable(fx, 'drop'),"
                   " particles.isAvailable(fx, 'none'), particles.isAvailable(9, 'drop')"),
        "false,true,false,false");
    EXPECT_EQ(state->run("particles.setDetailLevel(4) return particles.isAvailable(fx, 'fine')"),
              "true");
}

TEST_F(ParticleLibraryTest, ARestartLeavesNoParticleAndAFreshLevel)
{
    state->run("fx = particles.load(FOLDER .. '/fx.par', FOLDER .. '/fx.spr')"
               " particles.setDetailLevel(4) particles.spawn(fx, 'fountain', 0, 0)"
               " particles.update(0.05)");
    auto* package = dynamic_cast<kelvo::video::CParticlePackage*>(
        driver->findParticlePackage((folder + "/fx.par").c_str()));
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(package->getLiveCount(), 3);
    stop();
    EXPECT_EQ(package->getLiveCount(), 0);
    EXPECT_EQ(package->getHost(), nullptr);
    start();
    // The package is the cached one, with the start's detail level again.
    EXPECT_EQ(state->run("fx = particles.load(FOLDER .. '/fx.par', FOLDER .. '/fx.spr')"
                         " return fx, particles.getCount(), particles.isAvailable(fx, 'fine')"),
              "1,0,false");
    EXPECT_EQ(driver->findParticlePackage((folder + "/fx.par").c_str()), package);
}
