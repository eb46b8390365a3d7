// The OpenAL driver on OpenAL Soft's null back end (real sources, buffers and
// mixing, no sound card), with a clock the tests set by hand.
#include "AudioTestSupport.h"

#include "audio/COpenALDriver.h"
#include "io/CFileSystem.h"

#include <AL/al.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>

using audiotest::CPrintCapture;
using kelvo::audio::COpenALDriver;
using zu::audio::SVector3f;
using zu::core::CString;

namespace
{

// OpenAL reads its configuration once per process, before the first device.
const bool kNullBackend = (setenv("ALSOFT_DRIVERS", "null", 1), true);

class AudioDriver : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(kNullBackend);
        ASSERT_FALSE(audiotest::soundFolder().empty());
        m_fileSystem = new kelvo::io::CFileSystem();
        m_driver = new COpenALDriver(m_fileSystem, &m_timer);
        ASSERT_TRUE(m_driver->hasDevice());
        m_driver->setSoundFolder(audiotest::soundFolder().c_str());
        CPrintCapture::clear();
    }
    void TearDown() override
    {
        m_driver->drop();
        m_fileSystem->drop();
        EXPECT_TRUE(CPrintCapture::checks().empty())
            << "failed check: " << CPrintCapture::checks().front();
    }

    // Plays a one-shot, moving the clock past the repeat guard first.
    bool playOneShot(const char* name)
    {
        m_time += COpenALDriver::kRepeatGuardMs;
        m_timer.set(m_time);
        return m_driver->playSound(name, 1.f, 0.f, 1.f);
    }

    // Calls update every 10 ms until the condition holds or the time is up.
    template <class Condition> bool updateUntil(Condition done, int maxMs)
    {
        for (int waited = 0; waited < maxMs; waited += 10)
        {
            m_driver->update();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return done();
    }

    CPrintCapture m_capture;
    audiotest::CFakeTimer m_timer;
    uint32_t m_time = 1000;
    kelvo::io::CFileSystem* m_fileSystem = nullptr;
    COpenALDriver* m_driver = nullptr;
};

TEST_F(AudioDriver, StartsWithSixteenFreeSources)
{
    EXPECT_EQ(16u, m_driver->getFreeSourceCount());
    EXPECT_EQ(0u, m_driver->getBusySourceCount());
}

TEST_F(AudioDriver, RepeatGuardHoldsBackTheSameEffectFor50Ms)
{
    const struct
    {
        uint32_t later;
        size_t instances;
    } cases[] = {{0, 1}, {49, 1}, {50, 2}, {4000, 2}};
    for (const auto& c : cases)
    {
        m_driver->stopAllSounds();
        m_time += 10000;
        m_timer.set(m_time);
        CString name = "tone440.ogg";
        // A fresh copy of the sound for every case: a different name.
        ASSERT_TRUE(m_driver->playSound(name, 1.f, 0.f, 1.f));
        size_t before = m_driver->countPlayingSources(false);
        m_timer.set(m_time + c.later);
        EXPECT_TRUE(m_driver->playSound(name, 1.f, 0.f, 1.f)) << c.later;
        EXPECT_EQ(before + c.instances - 1, m_driver->countPlayingSources(false)) << c.later;
    }
}

TEST_F(AudioDriver, SeventeenthOneShotGetsANewSource)
{
    for (int i = 0; i < 17; ++i)
        ASSERT_TRUE(playOneShot("tone440.ogg")) << i;
    EXPECT_EQ(17u, m_driver->getBusySourceCount());
    EXPECT_EQ(0u, m_driver->getFreeSourceCount());
    EXPECT_EQ(17u, m_driver->countPlayingSources(false));
}

TEST_F(AudioDriver, StoppedSourcesAreReusedOnlyWhenThePoolIsEmpty)
{
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(playOneShot("short.ogg"));
    m_driver->stopAllSounds();
    // The 0.3 s effects end by themselves; their sources return on demand.
    ASSERT_TRUE(updateUntil([&] { return m_driver->countPlayingSources(false) == 0; }, 2000));
    ASSERT_TRUE(playOneShot("short.ogg"));
    EXPECT_EQ(1u, m_driver->getBusySourceCount());
    EXPECT_EQ(15u, m_driver->getFreeSourceCount());
}

TEST_F(AudioDriver, EffectLevelZeroSilencesOneShotsButNotLoops)
{
    m_driver->setSoundVolumeLevel(0);
    EXPECT_TRUE(m_driver->playSound("tone440.ogg", 1.f, 0.f, 1.f));
    EXPECT_TRUE(
        m_driver->playOrientedSound("tone440.ogg", 1.f, 1.f, SVector3f{1, 0, 0}, SVector3f{}));
    EXPECT_EQ(0u, m_driver->getBusySourceCount());
    EXPECT_TRUE(m_driver->playLoopSound("tone440.ogg", 1.f, 0.f, 1.f, 0.f));
    EXPECT_EQ(1u, m_driver->countPlayingSources(true));
}

TEST_F(AudioDriver, VolumeLevelsMapToTwentyPercentSteps)
{
    const struct
    {
        int32_t level;
        float volume;
    } cases[] = {{-3, 0.f}, {0, 0.f}, {1, 0.2f}, {3, 0.6f}, {5, 1.f}, {9, 1.f}};
    for (const auto& c : cases)
    {
        m_driver->setSoundVolumeLevel(c.level);
        m_driver->setMusicVolumeLevel(c.level);
        EXPECT_EQ(c.level, m_driver->getSoundVolumeLevel());
        EXPECT_FLOAT_EQ(c.volume, m_driver->getSoundVolume());
        EXPECT_FLOAT_EQ(c.volume, m_driver->getMusicVolume());
    }
}

TEST_F(AudioDriver, TrackedSoundOffsetWrapsAroundTheDuration)
{
    const struct
    {
        float offset;
        float low, high;
    } cases[] = {{5.f, 0.9f, 1.3f}, {0.5f, 0.4f, 0.8f}, {1e30f, 0.f, 2.f}};
    for (const auto& c : cases)
    {
        int32_t id = m_driver->startTrackedSound("tone440.ogg", 1.f, 1.f, SVector3f{}, SVector3f{},
                                                 c.offset);
        ASSERT_GE(id, 1);
        float at = m_driver->updateTrackedSound(id, 1.f, 1.f, SVector3f{}, SVector3f{});
        EXPECT_GE(at, c.low) << c.offset;
        EXPECT_LT(at, c.high) << c.offset;
        m_driver->stopTrackedSound(id);
    }
}

TEST_F(AudioDriver, TrackedIdsCountFromOneAndRestart)
{
    EXPECT_EQ(1, m_driver->startTrackedSound("tone440.ogg", 1, 1, {}, {}, 0));
    EXPECT_EQ(2, m_driver->startTrackedSound("tone440.ogg", 1, 1, {}, {}, 0));
    EXPECT_EQ(-1, m_driver->startTrackedSound("missing.ogg", 1, 1, {}, {}, 0));
    m_driver->stopTrackedSound(77);
    EXPECT_EQ(0.f, m_driver->updateTrackedSound(77, 1, 1, {}, {}));
    m_driver->stopAllTrackedSounds();
    EXPECT_EQ(0u, m_driver->countPlayingSources(true));
    EXPECT_EQ(1, m_driver->startTrackedSound("tone440.ogg", 1, 1, {}, {}, 0));
}

TEST_F(AudioDriver, DistanceModelsOneToSixOnly)
{
    const struct
    {
        int32_t model;
        bool accepted;
        ALint expected;
    } cases[] = {{3, true, AL_LINEAR_DISTANCE},
                 {1, true, AL_INVERSE_DISTANCE},
                 {6, true, AL_EXPONENT_DISTANCE_CLAMPED},
                 {0, false, AL_EXPONENT_DISTANCE_CLAMPED},
                 {7, false, AL_EXPONENT_DISTANCE_CLAMPED},
                 {-1, false, AL_EXPONENT_DISTANCE_CLAMPED}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.accepted, m_driver->setDistanceModel(c.model)) << c.model;
        EXPECT_EQ(c.expected, alGetInteger(AL_DISTANCE_MODEL)) << c.model;
    }
}

TEST_F(AudioDriver, LoopCalledAgainWhilePlayingDoesNotRestart)
{
    ASSERT_TRUE(m_driver->playLoopSound("tone440.ogg", 1.f, 0.f, 1.f, 1.5f));
    uint32_t source = m_driver->getLoopSourceOf("tone440.ogg");
    ASSERT_NE(0u, source);
    ASSERT_TRUE(m_driver->playLoopSound("tone440.ogg", 0.5f, 0.2f, 2.f, 0.f));
    EXPECT_EQ(source, m_driver->getLoopSourceOf("tone440.ogg"));
    float at = 0;
    alGetSourcef(source, AL_SEC_OFFSET, &at);
    EXPECT_GE(at, 1.4f);
    float gain = 0;
    alGetSourcef(source, AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(0.5f, gain);
    EXPECT_EQ(1u, m_driver->countPlayingSources(true));
}

TEST_F(AudioDriver, GlobalPitchScalesWhatPlays)
{
    ASSERT_TRUE(m_driver->playLoopSound("tone440.ogg", 1.f, 0.f, 2.f, 0.f));
    m_driver->setGlobalPitch(0.5f);
    float pitch = 0;
    alGetSourcef(m_driver->getLoopSourceOf("tone440.ogg"), AL_PITCH, &pitch);
    EXPECT_FLOAT_EQ(1.f, pitch);
}

TEST_F(AudioDriver, StopAllSoundsForgetsLoopSources)
{
    ASSERT_TRUE(m_driver->playLoopSound("short.ogg", 1.f, 0.f, 1.f, 0.f));
    ASSERT_NE(0u, m_driver->getLoopSourceOf("short.ogg"));
    m_driver->stopAllSounds();
    EXPECT_EQ(0u, m_driver->getLoopSourceOf("short.ogg"));
    // The pool runs empty, so the loop's old source goes to a one-shot...
    for (int i = 0; i < 16; ++i)
        ASSERT_TRUE(playOneShot("tone440.ogg"));
    // ...and the loop, started again, must not take it back.
    ASSERT_TRUE(m_driver->playLoopSound("short.ogg", 1.f, 0.f, 1.f, 0.f));
    EXPECT_EQ(16u, m_driver->countPlayingSources(false));
    EXPECT_EQ(1u, m_driver->countPlayingSources(true));
}

TEST_F(AudioDriver, NonLoopingMusicClosesAtItsEnd)
{
    m_driver->playMusic("short.ogg", 1.f, false);
    ASSERT_TRUE(m_driver->isMusicOpen("short.ogg"));
    EXPECT_TRUE(m_driver->updateMusic("short.ogg", 0.8f));
    EXPECT_TRUE(updateUntil([&] { return !m_driver->isMusicOpen("short.ogg"); }, 3000));
    EXPECT_FALSE(m_driver->updateMusic("short.ogg", 0.8f));
    // A closed stream starts again from the beginning.
    m_driver->playMusic("short.ogg", 1.f, false);
    EXPECT_TRUE(m_driver->isMusicOpen("short.ogg"));
}

TEST_F(AudioDriver, LoopingMusicKeepsPlayingPastItsEnd)
{
    m_driver->playMusic("short.ogg", 1.f, true);
    int passes = 0;
    // Three times the 0.3 s the file lasts.
    updateUntil([&] { return ++passes >= 90; }, 5000);
    EXPECT_TRUE(m_driver->isMusicOpen("short.ogg"));
    EXPECT_TRUE(m_driver->updateMusic("short.ogg", 1.f));
    m_driver->stopMusic("short.ogg");
    EXPECT_FALSE(m_driver->isMusicOpen("short.ogg"));
}

TEST_F(AudioDriver, MusicLevelZeroStartsNothing)
{
    m_driver->setMusicVolumeLevel(0);
    m_driver->playMusic("long.ogg", 1.f, true);
    EXPECT_FALSE(m_driver->isMusicOpen("long.ogg"));
    EXPECT_FALSE(m_driver->updateMusic("long.ogg", 1.f));
}

TEST_F(AudioDriver, MissingMusicFileStaysClosed)
{
    m_driver->playMusic("nothing-here.ogg", 1.f, false);
    EXPECT_TRUE(CPrintCapture::printed("Failed to open: "));
    EXPECT_FALSE(m_driver->isMusicOpen("nothing-here.ogg"));
    m_driver->playMusic("six.ogg", 1.f, false);
    EXPECT_FALSE(m_driver->isMusicOpen("six.ogg"));
    m_driver->update();
}

TEST_F(AudioDriver, VoicePlaysToItsEnd)
{
    m_driver->playVoice("voice.ogg");
    EXPECT_TRUE(m_driver->isVoicePlaying());
    EXPECT_TRUE(updateUntil([&] { return !m_driver->isVoicePlaying(); }, 5000));
    m_driver->playVoice("missing-voice.ogg");
    EXPECT_FALSE(m_driver->isVoicePlaying());
}

TEST_F(AudioDriver, ListenerFollowsACameraWithZMirrored)
{
    m_driver->setListenerFromCamera(SVector3f{1, 2, 3}, SVector3f{1, 2, 13}, SVector3f{0, 1, 0});
    EXPECT_FLOAT_EQ(-3.f, m_driver->getListenerPosition().z);
    float position[3] = {};
    float orientation[6] = {};
    alGetListenerfv(AL_POSITION, position);
    alGetListenerfv(AL_ORIENTATION, orientation);
    EXPECT_FLOAT_EQ(1.f, position[0]);
    EXPECT_FLOAT_EQ(-3.f, position[2]);
    // Facing the target: ten units along z, mirrored.
    EXPECT_FLOAT_EQ(0.f, orientation[0]);
    EXPECT_FLOAT_EQ(-10.f, orientation[2]);
    EXPECT_FLOAT_EQ(1.f, orientation[4]);

    m_driver->resetListenerOrientation();
    alGetListenerfv(AL_ORIENTATION, orientation);
    const float reset[6] = {0, 0, 1, 0, -1, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(reset[i], orientation[i]) << i;
}

TEST_F(AudioDriver, MasterVolumeIsTheListenersGainCutToZeroToOne)
{
    EXPECT_FLOAT_EQ(1.f, m_driver->getMasterVolume());
    struct SCase
    {
        float set;
        float expected;
    };
    const SCase cases[] = {{0.25f, 0.25f}, {0.f, 0.f}, {1.5f, 1.f}, {-2.f, 0.f},
                           {0.6f, 0.6f},   {NAN, 0.6f}, {INFINITY, 1.f}};
    for (const SCase& c : cases)
    {
        m_driver->setMasterVolume(c.set);
        float gain = -1.f;
        alGetListenerf(AL_GAIN, &gain);
        EXPECT_FLOAT_EQ(c.expected, m_driver->getMasterVolume()) << c.set;
        EXPECT_FLOAT_EQ(c.expected, gain) << c.set;
    }
}

TEST_F(AudioDriver, SpeakingVoiceDucksNewEffects)
{
    const struct
    {
        bool ducking;
        float gain;
    } cases[] = {{true, 0.2f}, {false, 0.8f}};
    for (const auto& c : cases)
    {
        m_driver->stopAllSounds();
        m_driver->setVoiceDucking(c.ducking);
        m_driver->playVoice("voice.ogg");
        ASSERT_TRUE(m_driver->playLoopSound("tone440.ogg", 0.8f, 0.f, 1.f, 0.f));
        float gain = 0;
        alGetSourcef(m_driver->getLoopSourceOf("tone440.ogg"), AL_GAIN, &gain);
        EXPECT_FLOAT_EQ(c.gain, gain) << c.ducking;
        m_driver->stopVoice();
    }
}

TEST_F(AudioDriver, BadFilesFailTheirLoadWithMessages)
{
    const char* const names[] = {"empty.ogg",   "header_cut.ogg", "six.ogg",     "text.ogg",
                                 "chained.ogg", "missing.ogg",    "tone440.wav", "tone440.mp3"};
    for (const char* name : names)
    {
        CPrintCapture::clear();
        EXPECT_FALSE(m_driver->loadSound(name)) << name;
        CString path = CString(audiotest::soundFolder().c_str()) + "/" + name;
        EXPECT_TRUE(CPrintCapture::printed("Failed to load sound " + path.str() + "\n")) << name;
        EXPECT_TRUE(CPrintCapture::printed(std::string("Failed to load sound effect: ") + name))
            << name;
        EXPECT_EQ(0.f, m_driver->getSoundDuration(name)) << name;
        EXPECT_FALSE(m_driver->playSound(name, 1, 0, 1)) << name;
    }
    EXPECT_EQ(0u, m_driver->getBufferCount());
}

TEST_F(AudioDriver, ABrokenSoundIsOpenedOncePerSoundFolder)
{
    CPrintCapture::clear();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(m_driver->playSound("header_cut.ogg", 1, 0, 1));
    const std::string& printed = CPrintCapture::text();
    const std::string line = "Failed to load sound effect: header_cut.ogg";
    EXPECT_EQ(printed.find(line), printed.rfind(line)) << printed;
    EXPECT_NE(printed.find(line), std::string::npos);

    // A restarted script sets the folder again and gets another try.
    CPrintCapture::clear();
    m_driver->setSoundFolder(audiotest::soundFolder().c_str());
    EXPECT_FALSE(m_driver->loadSound("header_cut.ogg"));
    EXPECT_TRUE(CPrintCapture::printed(line));
}

TEST_F(AudioDriver, StaleOpenALErrorsDoNotFailLaterCalls)
{
    // Leave an error behind, as any unchecked call might.
    alSourcef(0xDEAD, AL_GAIN, 1.f);
    EXPECT_TRUE(m_driver->loadSound("stereo.ogg"));
    alSourcef(0xDEAD, AL_GAIN, 1.f);
    m_driver->playMusic("long.ogg", 1.f, false);
    EXPECT_TRUE(m_driver->isMusicOpen("long.ogg"));
    EXPECT_NEAR(1.0f, m_driver->getSoundDuration("stereo.ogg"), 0.01f);
}

TEST(AudioDriverWithoutDevice, EverythingFailsQuietly)
{
    ASSERT_TRUE(kNullBackend);
    ASSERT_FALSE(audiotest::soundFolder().empty());
    CPrintCapture capture;
    audiotest::CFakeTimer timer;
    auto* driver = new COpenALDriver(nullptr, &timer, "Pellora: no such device");
    EXPECT_FALSE(driver->hasDevice());
    EXPECT_TRUE(CPrintCapture::printed("Error: OpenAL Failed to get a device"));
    driver->setSoundFolder(audiotest::soundFolder().c_str());
    EXPECT_NEAR(2.f, driver->getSoundDuration("tone440.ogg"), 0.01f);
    EXPECT_FALSE(driver->playSound("tone440.ogg", 1, 0, 1));
    EXPECT_TRUE(CPrintCapture::printed("No available OpenAL sources!\n"));
    EXPECT_EQ(-1, driver->startTrackedSound("tone440.ogg", 1, 1, {}, {}, 0));
    EXPECT_TRUE(driver->playLoopSound("tone440.ogg", 1, 0, 1, 0));
    driver->playMusic("long.ogg", 1, true);
    driver->playVoice("voice.ogg");
    driver->update();
    EXPECT_FALSE(driver->updateMusic("long.ogg", 1));
    EXPECT_FALSE(driver->isVoicePlaying());
    driver->setGlobalPitch(2.f);
    driver->setListenerPosition({1, 2, 3}, {});
    driver->setMasterVolume(0.4f);
    EXPECT_FLOAT_EQ(0.4f, driver->getMasterVolume());
    EXPECT_TRUE(driver->setDistanceModel(2));
    driver->stopAllSounds();
    driver->drop();
    EXPECT_TRUE(CPrintCapture::checks().empty());
}

} // namespace
