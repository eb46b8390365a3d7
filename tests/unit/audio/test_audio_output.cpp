// What the driver really plays: OpenAL Soft's file back end writes the mixed
// output to a WAV file, and analyse_wave.py measures it.
//
// OpenAL reads its configuration once per process, so every test of this
// program writes the same file; each test closes its device (which finishes
// the file) before measuring it.
#include "AudioTestSupport.h"

#include "audio/COpenALDriver.h"

#include <chrono>
#include <cstdlib>
#include <thread>
#include <unistd.h>

using audiotest::CPrintCapture;
using kelvo::audio::COpenALDriver;
using zu::audio::SVector3f;

namespace
{

std::string makeWaveConfig()
{
    std::string folder = iotest::makeScratchFolder("wave");
    if (folder.empty()) return "";
    std::string wave = folder + "/out.wav";
    iotest::writeDiskFile(folder + "/alsoft.conf",
                          "[general]\ndrivers = wave\nchannels = stereo\nfrequency = 44100\n"
                          "sample-type = int16\n[wave]\nfile = " +
                              wave + "\n");
    unsetenv("ALSOFT_DRIVERS");
    setenv("ALSOFT_CONF", (folder + "/alsoft.conf").c_str(), 1);
    return wave;
}

const std::string kWaveFile = makeWaveConfig();

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class AudioOutput : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_FALSE(kWaveFile.empty());
        ASSERT_FALSE(audiotest::soundFolder().empty());
        m_driver = new COpenALDriver(nullptr, nullptr);
        ASSERT_TRUE(m_driver->hasDevice());
        m_driver->setSoundFolder(audiotest::soundFolder().c_str());
    }
    void TearDown() override
    {
        if (m_driver) m_driver->drop();
        EXPECT_TRUE(CPrintCapture::checks().empty());
    }

    // Keeps the driver updated every 10 ms for a while.
    void run(int ms)
    {
        for (int waited = 0; waited < ms; waited += 10)
        {
            m_driver->update();
            sleepMs(10);
        }
    }

    // Closes the device (which finishes the file) and measures the file.
    std::map<std::string, double> measure(const std::vector<std::string>& queries)
    {
        m_driver->drop();
        m_driver = nullptr;
        return analyse(queries);
    }
    static std::map<std::string, double> analyse(std::vector<std::string> queries)
    {
        queries.insert(queries.begin(), {PELLORA_PYTHON, PELLORA_ANALYSE_WAVE, kWaveFile});
        std::string out = audiotest::runToolOutput(queries);
        EXPECT_FALSE(out.empty()) << "analyse_wave.py failed";
        return audiotest::parseValues(out);
    }

    CPrintCapture m_capture;
    COpenALDriver* m_driver = nullptr;
};

TEST_F(AudioOutput, ToneIsHeardAtItsPitch)
{
    ASSERT_TRUE(m_driver->playSound("tone440.ogg", 1.f, 0.f, 1.f));
    run(700);
    auto values = measure({"peak", "first+0.1", "first+0.5", "rms", "first+0.1", "first+0.5"});
    EXPECT_NEAR(440.0, values["peak"], 5.0);
    EXPECT_GT(values["left"], 0.05);
}

TEST_F(AudioOutput, GlobalPitchRaisesTheTone)
{
    m_driver->setGlobalPitch(1.5f);
    ASSERT_TRUE(m_driver->playSound("tone440.ogg", 1.f, 0.f, 1.f));
    run(600);
    auto values = measure({"peak", "first+0.1", "first+0.4"});
    EXPECT_NEAR(660.0, values["peak"], 8.0);
}

TEST_F(AudioOutput, PanMovesTheSoundToOneSide)
{
    // Left first, then right, each for half a second, measured from the
    // first and from the last sound in the file.
    const float pans[] = {-0.5f, 0.5f};
    for (float pan : pans)
    {
        ASSERT_TRUE(m_driver->playLoopSound("tone440.ogg", 1.f, pan, 1.f, 0.f));
        run(500);
        m_driver->stopLoopSound("tone440.ogg");
    }
    auto left = measure({"rms", "first+0.1", "first+0.3"});
    auto right = analyse({"rms", "last-0.3", "last-0.1"});
    EXPECT_GT(left["left"], 0.05);
    EXPECT_GT(left["left"], 10 * left["right"]);
    EXPECT_GT(right["right"], 0.05);
    EXPECT_GT(right["right"], 10 * right["left"]);
}

TEST_F(AudioOutput, StoppedSoundIsSilentAfterwards)
{
    ASSERT_TRUE(m_driver->playLoopSound("tone440.ogg", 1.f, 0.f, 1.f, 0.f));
    run(400);
    m_driver->stopLoopSound("tone440.ogg");
    run(500);
    auto values = measure({"info", "gaps", "0.001"});
    // Sound for the 0.4 s it played, without a break, then nothing at all
    // (not even quietly) until the device closed.
    EXPECT_GT(values["last"] - values["first"], 0.25);
    EXPECT_LT(values["last"] - values["first"], 0.65);
    EXPECT_EQ(0, values["longest_gap_ms"]);
    EXPECT_GT(values["seconds"] - values["last"], 0.3);
}

TEST_F(AudioOutput, MusicStreamsWithoutGapsAcrossManyFrames)
{
    m_driver->setMusicVolumeLevel(5);
    m_driver->playMusic("long.ogg", 1.f, true);
    // Ten buffers hold about 0.23 s of this stereo file; this is many times
    // that, refilled every 10 ms.
    run(2500);
    auto values = measure({"gaps", "0.02", "peak", "first+0.5", "first+1.5"});
    EXPECT_NEAR(440.0, values["peak"], 5.0);
    EXPECT_EQ(0, values["longest_gap_ms"]);
    EXPECT_GT(values["last"] - values["first"], 2.0);
}

TEST_F(AudioOutput, VoiceIsHeard)
{
    m_driver->playVoice("voice.ogg");
    run(2500);
    EXPECT_FALSE(m_driver->isVoicePlaying());
    auto values = measure({"gaps", "0.01", "rms", "first", "last"});
    // The spoken line lasts 1.8 s, with pauses between the words.
    EXPECT_GT(values["last"] - values["first"], 1.2);
    EXPECT_GT(values["left"], 0.01);
}

} // namespace
