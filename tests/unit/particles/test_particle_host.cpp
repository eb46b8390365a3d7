// The particle host: live particles up to the cap however their children
// multiply, children advanced from the next update, the ground line, shadows
// drawn before the particles, clearing from inside an update, and the
// packages let go of when the host goes.
#include "ParticleTestSupport.h"

#include "video/null/CParticleHost.h"

#include <chrono>

using kelvo::video::CParticleHost;
using kelvo::video::CParticlePackage;
using namespace particletest;

namespace
{

class ParticleHost : public ParticleTest
{
  protected:
    // Definitions written by the packer's writer, attached to `host`.
    CParticlePackage* attach(CParticleHost& host, const std::vector<SParticleDefinition>& defs)
    {
        CParticlePackage* package = load(defs);
        if (package) host.attach(package, m_sprites);
        return package;
    }
    const std::vector<videotest::SRecordedDraw>& flushed()
    {
        m_driver->flush2D();
        return m_driver->draws;
    }
};

} // namespace

TEST_F(ParticleHost, ChildrenThatEmitChildrenStopAtTheCap)
{
    SParticleDefinition swarm = named("swarm");
    swarm.children = {"swarm"};
    swarm.emitMin = swarm.emitMax = 3;
    swarm.lifeMin = 0;
    CParticleHost host;
    CParticlePackage* package = attach(host, {swarm});
    ASSERT_TRUE(host.spawn(package, "swarm", {400, 300, 0}, {}));
    std::vector<int32_t> counts;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 10; ++i)
    {
        host.update(0.02f);
        counts.push_back(host.getCount());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Four times as many each update until the cap, then no more.
    EXPECT_EQ(counts,
              (std::vector<int32_t>{4, 16, 64, 256, 1024, 4096, 16384, 32768, 32768, 32768}));
    EXPECT_EQ(package->getLiveCount(), CParticleHost::MAX_PARTICLES);
    EXPECT_FALSE(host.spawn(package, "swarm", {0, 0, 0}, {}));
    EXPECT_LT(seconds, 20.0);
    host.clear();
    EXPECT_EQ(host.getCount(), 0);
    EXPECT_EQ(package->getLiveCount(), 0);
}

TEST_F(ParticleHost, ChildrenBornInAnUpdateMoveFromTheNextOne)
{
    SParticleDefinition child = named("child");
    child.inheritFactor = 1.f;
    child.lifeMin = 0;
    SParticleDefinition parent = named("parent");
    parent.children = {"child"};
    parent.emitMin = parent.emitMax = 1;
    parent.intervalMin = 10000;
    parent.lifeMin = 0;
    CParticleHost host;
    CParticlePackage* package = attach(host, {child, parent});
    ASSERT_TRUE(host.spawn(package, "parent", {0, 0, 0}, {100, 0, 0}));
    host.update(0.5f);
    ASSERT_EQ(host.getCount(), 2);
    m_driver->draws.clear();
    host.draw(1.f);
    ASSERT_EQ(flushed().size(), 1u);
    // Both at x = 50: the parent moved, its child was born there.
    ASSERT_EQ(m_driver->draws[0].vertices.size(), 8u);
    EXPECT_NEAR(pixelOf(m_driver->draws[0].vertices[0]).x, 48.f, 1e-3f);
    EXPECT_NEAR(pixelOf(m_driver->draws[0].vertices[4]).x, 48.f, 1e-3f);
    host.update(0.5f);
    m_driver->draws.clear();
    host.draw(1.f);
    flushed();
    EXPECT_NEAR(pixelOf(m_driver->draws[0].vertices[0]).x, 98.f, 1e-3f);
    EXPECT_NEAR(pixelOf(m_driver->draws[0].vertices[4]).x, 98.f, 1e-3f);
}

TEST_F(ParticleHost, ParticlesBounceOffTheGroundUntilTheirLastBounce)
{
    SParticleDefinition ball = named("ball");
    ball.bounceFactor = 0.5f;
    ball.maxBounces = 1;
    ball.lifeMin = 0;
    ball.curveY.amplitude = 80.f; // falling
    ball.deathList = {"splash"};
    SParticleDefinition splash = named("splash");
    splash.lifeMin = 0;
    CParticleHost host;
    CParticlePackage* package = attach(host, {ball, splash});
    host.setGround(100.f);
    ASSERT_TRUE(host.spawn(package, "ball", {0, 90, 0}, {0, 40, 0}));
    host.update(0.5f); // would reach 130: held at the ground, going up at 40
    ASSERT_EQ(host.getCount(), 1);
    m_driver->draws.clear();
    host.draw(1.f);
    EXPECT_NEAR(pixelOf(flushed()[0].vertices[0]).y, 98.f, 1e-3f);
    host.update(0.5f); // slowed to a stop on the ground
    host.update(1.f);  // falling through it: the second bounce is one too many
    ASSERT_EQ(host.getCount(), 1);
    host.removeGround();
    m_driver->draws.clear();
    host.draw(1.f);
    EXPECT_NEAR(pixelOf(flushed()[0].vertices[0]).y, 98.f, 1e-3f); // the splash, where it hit
    host.update(1.f);
    EXPECT_EQ(host.getCount(), 1);
}

TEST_F(ParticleHost, ShadowsComeFirstOffsetAndDarkened)
{
    SParticleDefinition lit = named("lit");
    lit.shadow = true;
    lit.lifeMin = 0;
    SParticleDefinition flat = named("flat");
    flat.lifeMin = 0;
    CParticleHost host;
    CParticlePackage* package = attach(host, {lit, flat});
    ASSERT_TRUE(host.spawn(package, "flat", {10, 10, 0}, {}));
    ASSERT_TRUE(host.spawn(package, "lit", {50, 10, 0}, {}));
    host.setShadow(4.f, 6.f, 0.25f);
    host.draw(1.f);
    ASSERT_EQ(flushed().size(), 1u);
    const std::vector<videotest::SRecordedVertex>& v = m_driver->draws[0].vertices;
    ASSERT_EQ(v.size(), 12u);
    EXPECT_EQ(v[0].color, 0x3F000000u);        // 255 * 0.25
    EXPECT_NEAR(pixelOf(v[0]).x, 52.f, 1e-3f); // 50 + 4 - 2
    EXPECT_NEAR(pixelOf(v[0]).y, 14.f, 1e-3f); // 10 + 6 - 2
    EXPECT_EQ(v[4].color, 0xFFFFFFFFu);
    EXPECT_NEAR(pixelOf(v[4]).x, 8.f, 1e-3f); // the older particle first
    EXPECT_NEAR(pixelOf(v[8]).x, 48.f, 1e-3f);
}

TEST_F(ParticleHost, ClearingFromASurfaceQuestionWaitsForTheUpdateToEnd)
{
    SParticleDefinition brief = named("brief");
    brief.lifeMin = 100;
    brief.deathList = {"brief"};
    CParticleHost host;
    CParticlePackage* package = attach(host, {brief});
    int asked = 0;
    host.setSurfaceQuery(
        [&](const SVector3f&)
        {
            ++asked;
            host.clear();
            host.update(1.f); // ignored: an update is running
            host.draw(1.f);   // the particles still there are drawn
            return zu::core::CString();
        });
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(host.spawn(package, "brief", {0, 0, 0}, {}));
    host.update(0.2f);
    EXPECT_EQ(asked, 5);
    EXPECT_EQ(host.getCount(), 0);
    EXPECT_EQ(package->getLiveCount(), 0);
}

TEST_F(ParticleHost, SoundsGoToThePlayerWithTheParticlesPosition)
{
    SParticleDefinition loud = named("loud");
    loud.sounds = "boom.ogg";
    loud.soundNames = {"boom.ogg"};
    CParticleHost host;
    CParticlePackage* package = attach(host, {loud});
    std::vector<std::pair<std::string, float>> played;
    host.setSoundPlayer(
        [&](const zu::core::CString& name, const SVector3f& at) {
            played.push_back({name.str(), at.x});
        });
    ASSERT_TRUE(host.spawn(package, "loud", {12, 0, 0}, {}));
    host.update(0.1f);
    host.update(0.1f);
    EXPECT_EQ(played, (std::vector<std::pair<std::string, float>>{{"boom.ogg", 12.f}}));
    EXPECT_FALSE(host.spawn(package, "unknown", {0, 0, 0}, {}));
}

TEST_F(ParticleHost, PackagesKeepTheirNumberAndAreLetGoOfWithTheHost)
{
    CParticlePackage* first = load({named("a")});
    CParticlePackage* second = load({named("b")});
    auto* host = new CParticleHost();
    host->setDetailLevel(5);
    EXPECT_EQ(host->attach(first, m_sprites), 0);
    EXPECT_EQ(host->attach(second, m_sprites), 1);
    EXPECT_EQ(host->attach(first, m_sprites), 0);
    EXPECT_EQ(host->getPackage(1), second);
    EXPECT_EQ(host->getPackage(2), nullptr);
    EXPECT_EQ(host->getPackage(-1), nullptr);
    EXPECT_EQ(first->getHost(), host);
    EXPECT_EQ(second->getDetailLevel(), 5);
    host->setDetailLevel(1);
    EXPECT_EQ(first->getDetailLevel(), 1);
    ASSERT_TRUE(host->spawn(first, "a", {0, 0, 0}, {}));
    const int references = first->getReferenceCount();
    delete host;
    EXPECT_EQ(first->getHost(), nullptr);
    EXPECT_EQ(second->getHost(), nullptr);
    EXPECT_EQ(first->getLiveCount(), 0);
    EXPECT_EQ(first->getReferenceCount(), references - 1);
}
