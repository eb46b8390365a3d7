// Live particles: the shared generator, the curves, lifetimes, movement,
// emission with bursts, the detail level, death rules by surface, drawing,
// shadows and bounces, on packages of the Python writer (versions 2, 5, 7 and
// 8), of the packer command and of the packer's writer.
#include "ParticleTestSupport.h"

#include "video/ISpriteAnimationState.h"
#include "video/ParticlePackageFormat.h"
#include "video/null/CParticleCurveEvaluator.h"

#include <cmath>

using kelvo::video::CParticleCurveEvaluator;
using kelvo::video::CParticlePackage;
using kelvo::video::CParticleRandom;
using namespace particletest;
using zu::video::SParticleCurve;
namespace particlefile = zu::video::particlefile;

namespace
{

// The shared packages, by the oldest version that holds a definition.
struct SSource
{
    const char* file;
    int32_t version;
};
const SSource kSources[] = {
    {"v2.par", 2}, {"v5.par", 5}, {"v7.par", 7}, {"v8.par", 8}, {"packer.par", 8},
};

constexpr float PI = 3.14159265f;

class ParticleState : public ParticleTest
{
  protected:
    // Each package holding definitions of that version or later.
    template <class Check> void forEachSource(int32_t since, Check check)
    {
        int checked = 0;
        for (const SSource& source : kSources)
        {
            if (source.version < since) continue;
            SCOPED_TRACE(source.file);
            CParticlePackage* package = load(sharedPackages() + "/" + source.file);
            ASSERT_NE(package, nullptr);
            CParticleRandom::seed(CParticleRandom::FIRST_SEED);
            check(package);
            m_host.releaseAll();
            ++checked;
        }
        EXPECT_GT(checked, 0);
    }
    const std::vector<videotest::SRecordedDraw>& flushed()
    {
        m_driver->flush2D();
        return m_driver->draws;
    }
};

} // namespace

TEST(ParticleRandom, TheFirstThreeValuesAreTheOnesComputedByHand)
{
    // x <- 40692 x - (x / 52774) * 2147483399, from 0x0F0F0F0F = 252645135:
    //   40692 * 252645135 = 10280635833420, 252645135 / 52774 = 4787,
    //   4787 * 2147483399 = 10280003031013, difference 632802407;
    //   40692 * 632802407 = 25749995545644, 632802407 / 52774 = 11990,
    //   11990 * 2147483399 = 25748325954010, difference 1669591634;
    //   40692 * 1669591634 = 67939022770728, 1669591634 / 52774 = 31636,
    //   31636 * 2147483399 = 67937784810764, difference 1237959964.
    CParticleRandom::seed(CParticleRandom::FIRST_SEED);
    EXPECT_EQ(CParticleRandom::next(), 632802407);
    EXPECT_EQ(CParticleRandom::next(), 1669591634);
    EXPECT_EQ(CParticleRandom::next(), 1237959964);
}

TEST(ParticleRandom, ARangeHoldsWhatItsFieldsSay)
{
    struct SCase
    {
        int32_t low, high;
    };
    const SCase cases[] = {{0, 1}, {400, 700}, {-10, 10}, {-1000000000, 1000000000}, {5, 6}};
    CParticleRandom::seed(CParticleRandom::FIRST_SEED);
    for (const SCase& c : cases)
    {
        int32_t lowest = INT32_MAX, highest = INT32_MIN;
        for (int i = 0; i < 2000; ++i)
        {
            const int32_t v = CParticleRandom::inRange(c.low, c.high);
            ASSERT_GE(v, c.low);
            ASSERT_LT(v, c.high);
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        // Spread over the range, not bunched at one end.
        const double width = double(c.high) - c.low;
        EXPECT_LT(double(lowest) - c.low, width * 0.05 + 1) << c.low << ".." << c.high;
        EXPECT_GT(double(highest) - c.low, width * 0.95 - 1) << c.low << ".." << c.high;
    }
    // The widest range stays inside its fields too.
    for (int i = 0; i < 1000; ++i)
    {
        const int64_t v = CParticleRandom::inRange(INT32_MIN, INT32_MAX);
        ASSERT_GE(v, INT32_MIN);
        ASSERT_LT(v, INT32_MAX);
    }
    // An empty or upside-down range is its low end, without a draw.
    CParticleRandom::seed(CParticleRandom::FIRST_SEED);
    EXPECT_EQ(CParticleRandom::inRange(5, 5), 5);
    EXPECT_EQ(CParticleRandom::inRange(7, 3), 7);
    EXPECT_EQ(CParticleRandom::next(), 632802407);
}

TEST(ParticleCurve, EachTypeFollowsItsShapeThroughClampAndAmplitude)
{
    struct SCase
    {
        const char* name;
        SParticleCurve curve;
        float dt;
        std::vector<float> values; // after each step
    };
    using P = particlefile::ECurveType;
    const SCase cases[] = {
        {"constant", {3.f, 1.f, 0.f, P::CURVE_CONSTANT, 0}, 0.5f, {3, 3, 3}},
        {"linear", {2.f, 1.f, 0.f, P::CURVE_LINEAR, 0}, 0.5f, {1, 2, 3}},
        {"linear with frequency and phase", {1.f, 2.f, 1.f, P::CURVE_LINEAR, 0}, 0.5f, {2, 3, 4}},
        {"sine", {1.f, PI, 0.f, P::CURVE_SINE, 0}, 0.5f, {1, 0, -1}},
        {"sine, absolute", {1.f, PI, 0.f, P::CURVE_SINE, particlefile::CLAMP_ABS}, 0.5f, {1, 0, 1}},
        {"sine, positive",
         {1.f, PI, 0.f, P::CURVE_SINE, particlefile::CLAMP_POSITIVE},
         0.5f,
         {1, 0, 0}},
        {"triangle",
         {1.f, 1.f, 0.f, P::CURVE_TRIANGLE, 0},
         0.25f,
         {0.5f, 1, 0.5f, 0, -0.5f, -1, -0.5f, 0}},
        {"square", {2.f, 1.f, 0.f, P::CURVE_SQUARE, 0}, 0.25f, {2, -2, -2, 2}},
        {"impulse", {1.f, 1.f, 0.f, P::CURVE_IMPULSE, 0}, 0.25f, {4, 0, 0, -4, 0, 0, 0, 4}},
        {"exp", {1.f, 1.f, 0.f, P::CURVE_EXP, 0}, 1.f, {std::exp(1.f), std::exp(2.f)}},
        {"negexp",
         {2.f, 1.f, 0.f, P::CURVE_NEG_EXP, 0},
         1.f,
         {2 * std::exp(-1.f), 2 * std::exp(-2.f)}},
        {"unknown type", {5.f, 1.f, 0.f, 9, 0}, 1.f, {0, 0}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CParticleCurveEvaluator curve(c.curve);
        for (size_t i = 0; i < c.values.size(); ++i)
            EXPECT_NEAR(curve.step(c.dt), c.values[i], 1e-5f) << "step " << i + 1;
    }
}

TEST_F(ParticleState, ATriangleCurveGoesZeroHalfOneZeroOverItsFirstSecond)
{
    // Frequency 1 is stored as 1000 in the file.
    forEachSource(3,
                  [](CParticlePackage* package)
                  {
                      const SParticleCurve& curve = package->findDefinition("triangle")->curveX;
                      EXPECT_EQ(CParticleCurveEvaluator::shape(curve.type, 0.f, 0.f, 0.f), 0.f);
                      CParticleCurveEvaluator evaluator(curve);
                      EXPECT_FLOAT_EQ(evaluator.step(0.25f), 0.5f);
                      EXPECT_FLOAT_EQ(evaluator.step(0.25f), 1.f);
                      evaluator.step(0.25f);
                      EXPECT_FLOAT_EQ(evaluator.step(0.25f), 0.f);
                      EXPECT_FLOAT_EQ(evaluator.getElapsed(), 1.f);
                  });
}

TEST_F(ParticleState, CurvesOfAVersionTwoFileAreConstantAccelerations)
{
    forEachSource(2,
                  [](CParticlePackage* package)
                  {
                      SHeld p(package->createParticle("constant"));
                      ASSERT_TRUE(p);
                      SVector3f at{100, 100, 0};
                      for (int i = 1; i <= 4; ++i)
                      {
                          ASSERT_TRUE(p->update(0.5f, at));
                          EXPECT_FLOAT_EQ(p->getVelocity().x, 40.f * 0.5f * float(i));
                          EXPECT_FLOAT_EQ(p->getVelocity().y, 300.f * 0.5f * float(i));
                      }
                      // Each step moves by the velocity after it: 75 + 150 + 225 + 300.
                      EXPECT_FLOAT_EQ(at.y, 100.f + 750.f);
                  });
}

TEST_F(ParticleState, LifeMinOf500WithLifeMax0LivesExactlyHalfASecond)
{
    forEachSource(2,
                  [](CParticlePackage* package)
                  {
                      SHeld p(package->createParticle("halfSecond"));
                      ASSERT_TRUE(p);
                      EXPECT_EQ(p->getLifetime(), 0.5f);
                      SVector3f at;
                      EXPECT_TRUE(p->update(0.125f, at));
                      EXPECT_TRUE(p->update(0.125f, at));
                      EXPECT_TRUE(p->update(0.125f, at));
                      EXPECT_FALSE(p->update(0.125f, at));
                  });
}

TEST_F(ParticleState, OneChildAnEmissionWhenEmitMinAndMaxAreOne)
{
    // Every 250 ms one child, none in between: no burst although the
    // definition has a burst range.
    forEachSource(2,
                  [this](CParticlePackage* package)
                  {
                      SHeld p(package->createParticle("single"));
                      SVector3f at{10, 20, 0};
                      std::vector<size_t> counts;
                      for (int i = 0; i < 16; ++i)
                      {
                          ASSERT_TRUE(p->update(0.0625f, at));
                          counts.push_back(m_host.adopted.size());
                      }
                      EXPECT_EQ(counts, (std::vector<size_t>{1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4,
                                                             4, 4, 5}));
                      EXPECT_EQ(p->getEmissionCount(), 5);
                      for (const std::string& name : m_host.names())
                          EXPECT_EQ(name, "child");
                  });
}

TEST_F(ParticleState, ABurstSpreadsItsChildrenOverItsWindow)
{
    // Five children: one at once, four over 500 ms, one every 125 ms; the
    // next emission waits for the 2 s interval.
    forEachSource(2,
                  [this](CParticlePackage* package)
                  {
                      SHeld p(package->createParticle("burster"));
                      SVector3f at;
                      std::vector<size_t> counts;
                      for (int i = 0; i < 24; ++i)
                      {
                          ASSERT_TRUE(p->update(0.0625f, at));
                          counts.push_back(m_host.adopted.size());
                      }
                      EXPECT_EQ(counts, (std::vector<size_t>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 5, 5,
                                                             5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}));
                      EXPECT_EQ(p->getEmissionCount(), 1);
                  });
}

TEST_F(ParticleState, AChildAboveTheDetailLevelIsNeverMade)
{
    forEachSource(7,
                  [this](CParticlePackage* package)
                  {
                      EXPECT_EQ(package->getDetailLevel(), 2);
                      EXPECT_FALSE(package->isAvailable("fine"));
                      EXPECT_TRUE(package->isAvailable("coarse"));
                      SHeld p(package->createParticle("coarse"));
                      SVector3f at;
                      // Its only child is not available: nothing is emitted, and the
                      // emission does not look for one for ever.
                      for (int i = 0; i < 10; ++i)
                          ASSERT_TRUE(p->update(0.0625f, at));
                      EXPECT_TRUE(m_host.adopted.empty());
                      package->setDetailLevel(3);
                      for (int i = 0; i < 2; ++i)
                          p->update(0.0625f, at);
                      EXPECT_EQ(m_host.names(), std::vector<std::string>{"fine"});
                      package->setDetailLevel(2);
                  });
}

TEST_F(ParticleState, DeathRulesFollowTheSurfaceWhereTheParticleDies)
{
    struct SCase
    {
        const char* surface;
        std::vector<std::string> spawned;
    };
    const SCase cases[] = {
        {"@Water", {"splash"}},
        {"@WATER", {"splash"}},
        {"@lava", {"smoke"}},
        {"@Mud", {}},
        {"", {}},
        {"Water", {}},
    };
    forEachSource(4,
                  [&](CParticlePackage* package)
                  {
                      for (const SCase& c : cases)
                      {
                          SCOPED_TRACE(c.surface);
                          m_host.surface = c.surface;
                          SHeld p(package->createParticle("drowning"));
                          SVector3f at{5, 6, 0};
                          EXPECT_FALSE(p->update(0.1f, at));
                          EXPECT_EQ(m_host.names(), c.spawned);
                          for (const CRecordingHost::SAdopted& a : m_host.adopted)
                              EXPECT_FLOAT_EQ(a.position.x, 5.f);
                          m_host.releaseAll();
                      }
                  });
}

TEST_F(ParticleState, DeathListsWithoutSectionsAndWithLeadingNames)
{
    std::vector<SParticleDefinition> defs;
    for (const char* name : {"ember", "splash", "smoke"})
        defs.push_back(named(name));
    defs.push_back(named("fine"));
    defs.back().level = 3;
    auto dying = [&defs](const std::string& name, std::vector<zu::core::CString> list)
    {
        SParticleDefinition d = named(name);
        d.lifeMin = 100;
        d.deathList = std::move(list);
        defs.push_back(d);
    };
    dying("plain", {"splash", "smoke"});
    dying("leading", {"ember", "@water", "splash"});
    dying("withUnavailable", {"fine", "splash"});
    CParticlePackage* package = load(defs);
    ASSERT_NE(package, nullptr);
    struct SCase
    {
        const char* definition;
        const char* surface;
        std::vector<std::string> spawned;
    };
    const SCase cases[] = {
        {"plain", "", {"splash", "smoke"}},
        {"plain", "@Mud", {"splash", "smoke"}}, // no section applies: all
        {"leading", "", {"ember"}},
        {"leading", "@Water", {"splash"}},
        {"leading", "@Mud", {}},
        {"withUnavailable", "@Mud", {"splash"}},
        {"withUnavailable", "", {"splash"}},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.definition) + " on '" + c.surface + "'");
        m_host.surface = c.surface;
        SHeld p(package->createParticle(c.definition));
        SVector3f at;
        EXPECT_FALSE(p->update(0.1f, at));
        EXPECT_EQ(m_host.names(), c.spawned);
        m_host.releaseAll();
    }
    // No host: nobody to ask, nothing spawned, no trouble.
    package->setHost(nullptr);
    SHeld p(package->createParticle("plain"));
    SVector3f at;
    EXPECT_FALSE(p->update(0.1f, at));
    EXPECT_EQ(m_host.surfaceQuestions, int(std::size(cases)));
}

TEST_F(ParticleState, RangesOfLifeSpeedAndDirectionMeanWhatTheirFieldsSay)
{
    SParticleDefinition d = named("ranged");
    d.lifeMin = 400;
    d.lifeMax = 700;
    d.speedMin = 100;
    d.speedMax = 110;
    d.angleZMin = 0;
    d.angleZMax = 90;
    CParticlePackage* package = load({d});
    ASSERT_NE(package, nullptr);
    float longest = 0.f, widest = 0.f;
    for (int i = 0; i < 300; ++i)
    {
        SHeld p(package->createParticle("ranged"));
        const SVector3f v = p->getVelocity();
        const float speed = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        const float degrees = std::atan2(v.y, v.x) / PI * 180.f;
        ASSERT_GE(p->getLifetime(), 0.4f - 1e-6f);
        ASSERT_LT(p->getLifetime(), 0.7f);
        ASSERT_GE(speed, 100.f - 1e-3f);
        ASSERT_LT(speed, 110.f);
        ASSERT_GE(degrees, -1e-3f);
        ASSERT_LT(degrees, 90.f);
        longest = std::max(longest, p->getLifetime());
        widest = std::max(widest, degrees);
    }
    EXPECT_GT(longest, 0.65f);
    EXPECT_GT(widest, 85.f);
}

TEST_F(ParticleState, StartVelocityTurnsAboutYThenZ)
{
    struct SCase
    {
        int32_t angleZ, angleY;
        SVector3f velocity;
    };
    const SCase cases[] = {
        {0, 0, {100, 0, 0}},   {90, 0, {0, 100, 0}},         {180, 0, {-100, 0, 0}},
        {0, 90, {0, 0, -100}}, {90, 60, {0, 50, -86.6025f}},
    };
    for (const SCase& c : cases)
    {
        SParticleDefinition d = named("aimed");
        d.speedMin = d.speedMax = 100;
        d.angleZMin = d.angleZMax = c.angleZ;
        d.angleYMin = d.angleYMax = c.angleY;
        CParticlePackage* package = load({d});
        SHeld p(package->createParticle("aimed"));
        EXPECT_NEAR(p->getVelocity().x, c.velocity.x, 1e-3f) << c.angleZ << "/" << c.angleY;
        EXPECT_NEAR(p->getVelocity().y, c.velocity.y, 1e-3f) << c.angleZ << "/" << c.angleY;
        EXPECT_NEAR(p->getVelocity().z, c.velocity.z, 1e-3f) << c.angleZ << "/" << c.angleY;
    }
}

TEST_F(ParticleState, ColourAndScaleFollowTheLifetime)
{
    SParticleDefinition d = named("fade");
    d.colorStart[0] = 255, d.colorStart[1] = 0, d.colorStart[2] = 0, d.colorStart[3] = 255;
    d.colorEnd[0] = 0, d.colorEnd[1] = 0, d.colorEnd[2] = 255, d.colorEnd[3] = 0;
    d.scaleStart = 1.f;
    d.scaleEnd = 3.f;
    CParticlePackage* package = load({d});
    SHeld p(package->createParticle("fade"));
    EXPECT_EQ(p->getColor(), 0xFFFF0000u);
    SVector3f at;
    ASSERT_TRUE(p->update(0.5f, at));
    EXPECT_EQ(p->getColor(), 0x8080007Fu);
    EXPECT_FLOAT_EQ(p->getScale(), 2.f);
}

TEST_F(ParticleState, ChildrenStartAtTheOffsetWithPartOfTheParentsVelocity)
{
    SParticleDefinition child = named("child");
    child.inheritFactor = 0.5f;
    SParticleDefinition parent = named("parent");
    parent.children = {"child"};
    parent.emitMin = parent.emitMax = 1;
    parent.intervalMin = 100;
    parent.offsetMin = {1, 2, 3};
    parent.offsetMax = {1, 12, 3}; // only y is spread
    parent.lifeMin = 0;
    CParticlePackage* package = load({child, parent});
    SHeld p(package->createParticle("parent"));
    p->setVelocity({100, 0, 0});
    SVector3f at{0, 0, 0};
    for (int i = 0; i < 20; ++i)
        p->update(0.1f, at);
    ASSERT_EQ(m_host.adopted.size(), 20u);
    float lowest = 100.f, highest = -100.f;
    for (size_t i = 0; i < m_host.adopted.size(); ++i)
    {
        const CRecordingHost::SAdopted& a = m_host.adopted[i];
        // The parent has moved 10 pixels an update when it emits.
        EXPECT_NEAR(a.position.x, 10.f * float(i + 1) + 1.f, 1e-3f);
        EXPECT_FLOAT_EQ(a.position.z, 3.f);
        EXPECT_GE(a.position.y, 2.f);
        EXPECT_LT(a.position.y, 12.f);
        lowest = std::min(lowest, a.position.y);
        highest = std::max(highest, a.position.y);
        EXPECT_FLOAT_EQ(a.particle->getVelocity().x, 50.f);
    }
    EXPECT_LT(highest - lowest, 10.f);
    EXPECT_GT(highest - lowest, 5.f);
}

TEST_F(ParticleState, EmissionsCountTowardsMaxEmissionsAndMaySkipTheFirst)
{
    SParticleDefinition child = named("child");
    SParticleDefinition limited = named("limited");
    limited.children = {"child"};
    limited.emitMin = limited.emitMax = 1;
    limited.intervalMin = 100;
    limited.maxEmissions = 2;
    limited.lifeMin = 0; // lives until its emissions are done
    SParticleDefinition late = limited;
    late.name = "late";
    late.skipFirstEmission = true;
    SParticleDefinition quiet = named("quiet"); // nothing to emit
    quiet.maxEmissions = 1;
    quiet.lifeMin = 0;
    CParticlePackage* package = load({child, limited, late, quiet});
    struct SCase
    {
        const char* definition;
        std::vector<size_t> children; // after each update, 0 once dead
        int deathAt;                  // the update that returns false, 0 none
    };
    const SCase cases[] = {
        {"limited", {1, 2, 2}, 3},
        {"late", {0, 1, 1}, 3},
        {"quiet", {0, 0, 0, 0}, 0},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(c.definition);
        SHeld p(package->createParticle(c.definition));
        SVector3f at;
        for (size_t i = 0; i < c.children.size(); ++i)
        {
            const bool alive = p->update(0.1f, at);
            EXPECT_EQ(alive, int(i + 1) != c.deathAt) << "update " << i + 1;
            EXPECT_EQ(m_host.adopted.size(), c.children[i]) << "update " << i + 1;
        }
        m_host.releaseAll();
    }
}

TEST_F(ParticleState, TheSoundPlaysOnTheFirstUpdateOnly)
{
    forEachSource(8,
                  [this](CParticlePackage* package)
                  {
                      SHeld p(package->createParticle("scaled"));
                      SVector3f at{30, 40, 0};
                      p->update(0.1f, at);
                      p->update(0.1f, at);
                      ASSERT_EQ(m_host.sounds.size(), 1u);
                      EXPECT_TRUE(m_host.sounds[0].name == "hit.ogg" ||
                                  m_host.sounds[0].name == "thud.ogg");
                      EXPECT_FLOAT_EQ(m_host.sounds[0].position.x, 30.f);
                      EXPECT_FLOAT_EQ(p->getDrawScale(), 2.5f);
                      m_host.sounds.clear();
                  });
}

TEST_F(ParticleState, AParticleDiesWithItsAnimationWhenItsDefinitionSaysSo)
{
    SParticleDefinition once = named("once", "blink");
    once.dieWithAnimation = true;
    once.lifeMin = 0;
    SParticleDefinition again = named("again", "blink");
    again.lifeMin = 0;
    CParticlePackage* package = load({once, again});
    SHeld a(package->createParticle("once"));
    SHeld b(package->createParticle("again"));
    SVector3f at;
    EXPECT_TRUE(a->update(0.1f, at));  // to frame 1
    EXPECT_FALSE(a->update(0.1f, at)); // back to frame 0: the end
    EXPECT_TRUE(b->update(0.1f, at));
    EXPECT_TRUE(b->update(0.1f, at));
}

TEST_F(ParticleState, DrawnAtItsPositionScaledMirroredOrTurned)
{
    SParticleDefinition plain = named("plain");
    plain.scaleStart = plain.scaleEnd = 2.f;
    plain.lifeMin = 10000;
    SParticleDefinition mirror = plain;
    mirror.name = "mirror";
    mirror.mirrorByDirection = true;
    mirror.rotationSpeed = 90.f;
    SParticleDefinition spin = plain;
    spin.name = "spin";
    spin.rotationSpeed = 90.f;
    CParticlePackage* package = load({plain, mirror, spin});
    struct SCase
    {
        const char* definition;
        float vx;
        float left, top, right, bottom; // of the drawn quad
    };
    const SCase cases[] = {
        // 4 x 4 with the hotspot at 2, 2, scaled by 3 (2 x 1.5).
        {"plain", 5, 94, 44, 106, 56},
        // Mirrored about the origin's pixel column while moving left.
        {"mirror", -5, 97, 44, 109, 56},
        {"mirror", 5, 94, 44, 106, 56}, // never turned when mirroring
        // A quarter turn in a second at 90 degrees a second: the same box.
        {"spin", 5, 94, 44, 106, 56},
    };
    for (const SCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.definition) + (c.vx < 0 ? " moving left" : ""));
        m_driver->draws.clear();
        SHeld p(package->createParticle(c.definition));
        p->setVelocity({c.vx, 0, 0});
        SVector3f at{100 - c.vx, 50, 0};
        p->update(1.f, at);
        p->draw(at, 1.5f);
        ASSERT_EQ(flushed().size(), 1u);
        float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
        for (const videotest::SRecordedVertex& v : m_driver->draws[0].vertices)
        {
            const zu::video::SVector2f at = pixelOf(v);
            left = std::min(left, at.x), right = std::max(right, at.x);
            top = std::min(top, at.y), bottom = std::max(bottom, at.y);
            EXPECT_EQ(v.color, 0xFFFFFFFFu);
        }
        EXPECT_NEAR(left, c.left, 1e-3f);
        EXPECT_NEAR(top, c.top, 1e-3f);
        EXPECT_NEAR(right, c.right, 1e-3f);
        EXPECT_NEAR(bottom, c.bottom, 1e-3f);
    }
    SHeld spun(package->createParticle("spin"));
    SVector3f at;
    spun->update(1.f, at);
    EXPECT_NEAR(spun->getAngle(), PI / 2, 1e-5f);
}

TEST_F(ParticleState, FacingTheDirectionKeepsItsAngleWhenStandingStill)
{
    SParticleDefinition d = named("arrow");
    d.faceDirection = true;
    d.lifeMin = 0;
    d.rotationSpeed = 90.f; // ignored while facing the direction
    CParticlePackage* package = load({d});
    SHeld p(package->createParticle("arrow"));
    struct SStep
    {
        float x, y;
        float angle;
    };
    const SStep steps[] = {
        {0, 0, 0},           // the first draw only remembers the place
        {10, 10, PI / 4},    // down and right
        {10, 10, PI / 4},    // standing still: unchanged, never NaN
        {10, 0, 1.5f * PI},  // straight up
        {10, 5, 0.5f * PI},  // straight down
        {5, 5, PI},          // left
        {0, 10, 0.75f * PI}, // down and left
    };
    for (const SStep& s : steps)
    {
        p->draw({s.x, s.y, 0}, 1.f);
        EXPECT_NEAR(p->getAngle(), s.angle, 1e-5f) << s.x << ", " << s.y;
    }
    SVector3f at;
    p->update(1.f, at);
    EXPECT_NEAR(p->getAngle(), 0.75f * PI, 1e-5f);
}

TEST_F(ParticleState, ShadowsAreBlackAtAClampedAlphaAndOnlyWhereAsked)
{
    SParticleDefinition lit = named("lit");
    lit.shadow = true;
    SParticleDefinition flat = named("flat");
    CParticlePackage* package = load({lit, flat});
    SHeld shadowed(package->createParticle("lit"));
    SHeld plain(package->createParticle("flat"));
    const struct
    {
        float alpha;
        uint32_t color;
    } cases[] = {{0.5f, 0x7F000000u}, {1.f, 0xFF000000u}, {4.f, 0xFF000000u}, {-1.f, 0u}};
    for (const auto& c : cases)
    {
        m_driver->draws.clear();
        shadowed->drawShadow({10, 10, 0}, 1.f, c.alpha);
        plain->drawShadow({10, 10, 0}, 1.f, c.alpha);
        ASSERT_EQ(flushed().size(), 1u) << c.alpha;
        ASSERT_EQ(m_driver->draws[0].vertices.size(), 4u);
        EXPECT_EQ(m_driver->draws[0].vertices[0].color, c.color) << c.alpha;
    }
}

TEST_F(ParticleState, ABounceReflectsTheVelocityAndTheLastOneKills)
{
    SParticleDefinition ball = named("ball");
    ball.bounceFactor = 0.5f;
    ball.maxBounces = 1;
    ball.deathList = {"splash"};
    CParticlePackage* package = load({ball, named("splash")});
    SHeld p(package->createParticle("ball"));
    p->setVelocity({10, 20, 0});
    EXPECT_TRUE(p->bounce({0, 0, 0}, {0, -1, 0}));
    EXPECT_FLOAT_EQ(p->getVelocity().x, 5.f);
    EXPECT_FLOAT_EQ(p->getVelocity().y, -10.f);
    EXPECT_EQ(p->getBounceCount(), 1);
    EXPECT_TRUE(m_host.adopted.empty());
    EXPECT_FALSE(p->bounce({7, 8, 0}, {0, -1, 0}));
    ASSERT_EQ(m_host.names(), std::vector<std::string>{"splash"});
    EXPECT_FLOAT_EQ(m_host.adopted[0].position.x, 7.f);
}

TEST_F(ParticleState, DrawnIn3DWithItsScaleAndColour)
{
    SParticleDefinition d = named("flat3d");
    d.scaleStart = d.scaleEnd = 2.f;
    d.colorStart[3] = d.colorEnd[3] = 128;
    CParticlePackage* package = load({d});
    SHeld p(package->createParticle("flat3d"));
    p->draw3D({1, 2, 3});
    ASSERT_EQ(m_driver->draws.size(), 1u);
    const videotest::SRecordedDraw& draw = m_driver->draws[0];
    ASSERT_EQ(draw.vertices.size(), 4u);
    EXPECT_EQ(draw.vertices[0].color, 0x80FFFFFFu);
    EXPECT_FLOAT_EQ(draw.vertices[0].z, 3.f);
    // 4 pixels at scale 2 from the hotspot 2 pixels in: x from -3 to 5.
    EXPECT_FLOAT_EQ(draw.vertices[0].x, -3.f);
    EXPECT_FLOAT_EQ(draw.vertices[1].x, 5.f);
}
