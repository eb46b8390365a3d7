// Animation states: timing, clamping, pause, "never", getters outside the
// frames, empty states, and saving and loading a state.
#include "SpriteTestSupport.h"

#include "io/CMemReadFile.h"
#include "io/CMemWriteFile.h"

#include <functional>

using kelvo::video::CSpritePackage;
using spritetest::SPackageBytes;
using namespace zu::video;

namespace
{

class SpriteAnimation : public spritetest::SpriteTest
{
  protected:
    // Three 1 x 1 images (ids 0 to 2) on one page and the given animations.
    CSpritePackage* package(const std::vector<std::function<void(SPackageBytes&)>>& animations)
    {
        SPackageBytes file;
        file.header(0, 2, 2, 1, 3, 0, int32_t(animations.size()));
        file.putBytes({0xFF, 0xFF, 0xFF, 0xFF});
        for (int32_t id = 0; id < 3; ++id)
            file.image(id, 0, 0, 0, id % 2, id / 2, 1, 1);
        for (const auto& animation : animations)
            animation(file);
        return load("anim" + std::to_string(m_count++) + ".spr", file.bytes);
    }
    ISpriteAnimationState* state(const std::vector<int32_t>& ids, const std::vector<int32_t>& steps,
                                 const std::vector<int32_t>& durations)
    {
        CSpritePackage* p =
            package({[&](SPackageBytes& f) { f.animation("a", ids, steps, durations); }});
        return p ? p->createState("a") : nullptr;
    }

    int m_count = 0;
};

constexpr float kTolerance = 1e-5f;

} // namespace

TEST_F(SpriteAnimation, StepsForwardAndJumpsBack)
{
    ISpriteAnimationState* s = state({0, 1}, {1, -1}, {100, 100});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->getFrame(), 0);
    EXPECT_NEAR(s->getRemaining(), 0.1f, kTolerance);
    EXPECT_FALSE(s->update(0.05f));
    EXPECT_EQ(s->getFrame(), 0);
    EXPECT_FALSE(s->update(0.06f));
    EXPECT_EQ(s->getFrame(), 1);
    EXPECT_NEAR(s->getRemaining(), 0.09f, kTolerance);
    EXPECT_TRUE(s->update(0.1f)); // back at the start
    EXPECT_EQ(s->getFrame(), 0);
    EXPECT_NEAR(s->getRemaining(), 0.09f, kTolerance);
    s->release();
}

TEST_F(SpriteAnimation, LongUpdatesAdvanceOneFrameAtATime)
{
    ISpriteAnimationState* s = state({0, 1, 2}, {1, 1, 1}, {100, 100, 100});
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->update(0.35f));
    EXPECT_EQ(s->getFrame(), 1);
    EXPECT_NEAR(s->getRemaining(), -0.15f, kTolerance);
    EXPECT_FALSE(s->update(0.f));
    EXPECT_EQ(s->getFrame(), 2);
    // The last frame's step of 1 clamps: it never wraps.
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(s->update(0.1f));
    EXPECT_EQ(s->getFrame(), 2);
    s->reset();
    EXPECT_EQ(s->getFrame(), 0);
    EXPECT_NEAR(s->getRemaining(), 0.1f, kTolerance);
    s->release();
}

TEST_F(SpriteAnimation, NegativeDurationNeverRunsOut)
{
    ISpriteAnimationState* s = state({0, 1}, {1, 1}, {-1, 100});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->getRemaining(), ISpriteAnimationState::NEVER);
    for (int hour = 0; hour < 47; ++hour)
        EXPECT_FALSE(s->update(3600.f));
    EXPECT_EQ(s->getFrame(), 0);
    EXPECT_FALSE(s->update(3601.f));
    EXPECT_EQ(s->getFrame(), 1);
    s->release();
}

TEST_F(SpriteAnimation, PauseFlagHoldsTheFrame)
{
    ISpriteAnimationState* s = state({0, 1}, {1, -1}, {10, 10});
    ASSERT_TRUE(s);
    s->setFlags(ESSF_PAUSED | 4, true);
    EXPECT_TRUE(s->hasFlags(ESSF_PAUSED | 4));
    EXPECT_FALSE(s->update(5.f));
    EXPECT_EQ(s->getFrame(), 0);
    EXPECT_NEAR(s->getRemaining(), 0.01f, kTolerance);
    s->setFlags(ESSF_PAUSED, false);
    EXPECT_FALSE(s->hasFlags(ESSF_PAUSED | 4));
    EXPECT_TRUE(s->hasFlags(4));
    EXPECT_FALSE(s->update(0.02f));
    EXPECT_EQ(s->getFrame(), 1);
    s->release();
}

TEST_F(SpriteAnimation, GettersOutsideTheFrames)
{
    ISpriteAnimationState* s = state({0, 1, 2}, {1, 1, 1}, {1, 1, 1});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->getSize(1), (zu::core::SDimension2i{1, 1}));
    EXPECT_EQ(s->getSourceRect(1).left, 1);
    for (int32_t frame : {7, 3, -1})
    {
        SCOPED_TRACE(frame);
        EXPECT_EQ(s->getSize(frame), (zu::core::SDimension2i{1, 1}));
        EXPECT_EQ(s->getOriginalSize(frame), (zu::core::SDimension2i{1, 1}));
        EXPECT_EQ(s->getOffset(frame).x, 0);
        EXPECT_EQ(s->getOriginalOffset(frame).y, 0);
        EXPECT_EQ(s->getTexture(frame), nullptr);
        const SRecti rect = s->getSourceRect(frame);
        EXPECT_EQ(rect.right - rect.left + rect.bottom - rect.top, 0);
    }
    s->release();
}

TEST_F(SpriteAnimation, StatesWithoutFramesNeverAdvance)
{
    // Unknown ids are skipped, so "unknown" has no frames; "empty" has none
    // to begin with; "partial" keeps two of its three.
    CSpritePackage* p = package({
        [](SPackageBytes& f) { f.animation("empty", {}, {}, {}); },
        [](SPackageBytes& f) {
            f.animation("partial", {0, 9, 1}, {1, 1, -5}, {10, 10, 10});
        },
        [](SPackageBytes& f) {
            f.animation("unknown", {7, 8}, {5, 5}, {1, 1});
        },
    });
    ASSERT_TRUE(p);
    for (const char* name : {"empty", "unknown"})
    {
        SCOPED_TRACE(name);
        ISpriteAnimationState* s = p->createState(name);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->getFrameCount(), 0);
        s->reset();
        EXPECT_FALSE(s->update(100.f));
        EXPECT_EQ(s->getFrame(), 0);
        s->drawAt({0, 0}, nullptr, 0xFFFFFFFF);
        s->release();
    }
    ISpriteAnimationState* partial = p->createState("partial");
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->getFrameCount(), 2);
    // Steps are read by the animation's frame numbers: frame 1 takes the
    // second step (1), then clamps to the last frame.
    EXPECT_FALSE(partial->update(0.011f));
    EXPECT_FALSE(partial->update(0.011f));
    EXPECT_EQ(partial->getFrame(), 1);
    partial->release();
    m_driver->endScene();
    EXPECT_TRUE(m_driver->draws.empty());
}

TEST_F(SpriteAnimation, SavedStatesLoadBack)
{
    ISpriteAnimationState* s = state({0, 1, 2}, {1, 1, -2}, {100, 200, 300});
    ASSERT_TRUE(s);
    s->update(0.15f);
    s->setFlags(8, true);
    zu::io::CMemWriteFile out;
    ASSERT_TRUE(s->saveState(&out));
    ASSERT_EQ(out.getSize(), 12);
    EXPECT_FALSE(s->saveState(nullptr));
    EXPECT_FALSE(s->loadState(nullptr));

    ISpriteAnimationState* copy = state({0, 1, 2}, {1, 1, -2}, {100, 200, 300});
    ASSERT_TRUE(copy);
    zu::io::CMemReadFile in(out.getData(), out.getSize(), false);
    ASSERT_TRUE(copy->loadState(&in));
    EXPECT_EQ(copy->getFrame(), 1);
    EXPECT_TRUE(copy->hasFlags(8));
    EXPECT_FLOAT_EQ(copy->getRemaining(), s->getRemaining());

    // Saved frames land on a frame: modulo the count, negative from the end.
    struct SCase
    {
        int32_t saved, loaded;
    };
    for (const SCase& c : {SCase{7, 1}, SCase{-1, 2}, SCase{-4, 2}, SCase{INT32_MIN, 1}})
    {
        SCOPED_TRACE(c.saved);
        const uint8_t bytes[12] = {0,
                                   0,
                                   0,
                                   0,
                                   uint8_t(c.saved),
                                   uint8_t(c.saved >> 8),
                                   uint8_t(c.saved >> 16),
                                   uint8_t(uint32_t(c.saved) >> 24),
                                   0,
                                   0,
                                   0,
                                   0};
        zu::io::CMemReadFile file(bytes, 12, false);
        ASSERT_TRUE(copy->loadState(&file));
        EXPECT_EQ(copy->getFrame(), c.loaded);
    }
    // A short file changes nothing.
    zu::io::CMemReadFile cut(out.getData(), 11, false);
    EXPECT_FALSE(copy->loadState(&cut));
    EXPECT_EQ(copy->getFrame(), 1);

    // With no frames at all a saved frame becomes 0, no division by zero.
    CSpritePackage* p = package({[](SPackageBytes& f) { f.animation("none", {}, {}, {}); }});
    ISpriteAnimationState* none = p->createState("none");
    zu::io::CMemReadFile again(out.getData(), out.getSize(), false);
    EXPECT_TRUE(none->loadState(&again));
    EXPECT_EQ(none->getFrame(), 0);
    none->release();
    copy->release();
    s->release();
}
