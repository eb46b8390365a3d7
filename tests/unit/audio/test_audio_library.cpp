// The script table `audio` over a recording driver: which driver call each
// script call makes, with which values, and what the script gets back.
#include "AudioTestSupport.h"
#include "lua/LuaTestState.h"

#include "audio/IAudioDriver.h"
#include "lua/CLuaAudioLibrary.h"

#include <cstdarg>

using zu::audio::SVector3f;
using zu::core::CString;

namespace
{

// Records every public call as "name(arg,arg,...)"; returns fixed values.
class CRecordingDriver : public zu::audio::IAudioDriver
{
  public:
    std::string log;
    bool voicePlaying = false;
    float masterVolume = 0.75f;

    void stopAllSounds() override { add("stopAllSounds()"); }
    void update() override { add("update()"); }
    void setSoundFolder(const CString& f) override { add("setSoundFolder(%s)", f.c_str()); }
    void setSoundVolumeLevel(int32_t l) override { add("setSoundVolumeLevel(%d)", l); }
    void setMusicVolumeLevel(int32_t l) override { add("setMusicVolumeLevel(%d)", l); }
    int32_t getSoundVolumeLevel() const override { return 5; }
    int32_t getMusicVolumeLevel() const override { return 5; }
    void setMasterVolume(float v) override
    {
        add("setMasterVolume(%g)", v);
        masterVolume = v;
    }
    float getMasterVolume() const override { return masterVolume; }
    float getSoundDuration(const CString& n) override
    {
        add("getSoundDuration(%s)", n.c_str());
        return n == "two.ogg" ? 2.f : 0.f;
    }
    void setVoiceDucking(bool on) override { add("setVoiceDucking(%d)", on); }
    void setGlobalPitch(float p) override { add("setGlobalPitch(%g)", p); }
    void setMusicHasGlobalPitch(bool on) override { add("setMusicHasGlobalPitch(%d)", on); }
    void setGlobalRolloffFactor(float f) override { add("setGlobalRolloffFactor(%g)", f); }
    bool setDistanceModel(int32_t m) override
    {
        add("setDistanceModel(%d)", m);
        return m >= 1 && m <= 6;
    }
    void setSoundPriority(float v) override { add("setSoundPriority(%g)", v); }
    bool loadSound(const CString& n) override
    {
        add("loadSound(%s)", n.c_str());
        return true;
    }
    bool playSound(const CString& n, float g, float pan, float p) override
    {
        add("playSound(%s,%g,%g,%g)", n.c_str(), g, pan, p);
        return true;
    }
    bool playLoopSound(const CString& n, float g, float pan, float p, float o) override
    {
        add("playLoopSound(%s,%g,%g,%g,%g)", n.c_str(), g, pan, p, o);
        return true;
    }
    void stopLoopSound(const CString& n) override { add("stopLoopSound(%s)", n.c_str()); }
    bool loadMusic(const CString& n) override
    {
        add("loadMusic(%s)", n.c_str());
        return true;
    }
    void playMusic(const CString& n, float g, bool loop) override
    {
        add("playMusic(%s,%g,%d)", n.c_str(), g, loop);
    }
    void stopMusic(const CString& n) override { add("stopMusic(%s)", n.c_str()); }
    bool updateMusic(const CString& n, float g) override
    {
        add("updateMusic(%s,%g)", n.c_str(), g);
        return true;
    }
    void stopAllMusic() override { add("stopAllMusic()"); }
    void playVoice(const CString& n) override { add("playVoice(%s)", n.c_str()); }
    void stopVoice() override { add("stopVoice()"); }
    bool isVoicePlaying() override
    {
        add("isVoicePlaying()");
        return voicePlaying;
    }
    void resetListenerOrientation() override { add("resetListenerOrientation()"); }
    void setListenerOrientation(const SVector3f& at, const SVector3f& up) override
    {
        add("setListenerOrientation(%s,%s)", v(at).c_str(), v(up).c_str());
    }
    void setListenerFromCamera(const SVector3f&, const SVector3f&, const SVector3f&) override
    {
        add("setListenerFromCamera()");
    }
    void setListenerPosition(const SVector3f& p, const SVector3f& vel) override
    {
        add("setListenerPosition(%s,%s)", v(p).c_str(), v(vel).c_str());
    }
    void setOrientedSoundCone(int32_t i, int32_t o, const SVector3f& d) override
    {
        add("setOrientedSoundCone(%d,%d,%s)", i, o, v(d).c_str());
    }
    bool playOrientedSound(const CString& n, float g, float p, const SVector3f& pos,
                           const SVector3f& vel) override
    {
        add("playOrientedSound(%s,%g,%g,%s,%s)", n.c_str(), g, p, v(pos).c_str(), v(vel).c_str());
        return true;
    }
    int32_t startTrackedSound(const CString& n, float g, float p, const SVector3f& pos,
                              const SVector3f& vel, float o) override
    {
        add("startTrackedSound(%s,%g,%g,%s,%s,%g)", n.c_str(), g, p, v(pos).c_str(), v(vel).c_str(),
            o);
        return 7;
    }
    void stopTrackedSound(int32_t id) override { add("stopTrackedSound(%d)", id); }
    void stopAllTrackedSounds() override { add("stopAllTrackedSounds()"); }
    float updateTrackedSound(int32_t id, float g, float p, const SVector3f& pos,
                             const SVector3f& vel) override
    {
        add("updateTrackedSound(%d,%g,%g,%s,%s)", id, g, p, v(pos).c_str(), v(vel).c_str());
        return 0.25f;
    }

  protected:
    zu::audio::CSoundInfoStub* createSoundData(const CString&) override { return nullptr; }
    bool startOneShot(zu::audio::CSoundInfoStub*, float, float, float) override { return false; }
    void scalePlayingGains(float) override {}
    bool startLoop(zu::audio::CSoundInfoStub*, float, float, float, float) override
    {
        return false;
    }
    void stopLoop(zu::audio::CSoundInfoStub*) override {}
    void stopSoundLoop(zu::audio::CSoundInfoStub*) override {}
    zu::audio::CMusicInfoStub* createMusicStream(const CString&) override { return nullptr; }
    void startMusicStream(zu::audio::CMusicInfoStub*, float, bool, int) override {}
    void closeMusicStream(zu::audio::CMusicInfoStub*) override {}
    bool setMusicStreamGain(zu::audio::CMusicInfoStub*, float) override { return false; }
    bool isMusicStreamPlaying(zu::audio::CMusicInfoStub*) override { return false; }
    void applyListenerPosition(const SVector3f&) override {}
    void applyListenerVelocity(const SVector3f&) override {}
    void applyListenerOrientation(const SVector3f&, const SVector3f&) override {}
    void applyListenerGain(float) override {}
    bool startPositioned(zu::audio::CSoundInfoStub*, float, float, const SVector3f&,
                         const SVector3f&) override
    {
        return false;
    }
    zu::audio::CTrackedSoundInfoStub* startTrackedSource(zu::audio::CSoundInfoStub*, float, float,
                                                         const SVector3f&, const SVector3f&,
                                                         float) override
    {
        return nullptr;
    }
    void stopTrackedSource(zu::audio::CTrackedSoundInfoStub*) override {}
    float updateTrackedSource(zu::audio::CTrackedSoundInfoStub*, float, float, const SVector3f&,
                              const SVector3f&) override
    {
        return 0.f;
    }

  private:
    void add(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        char buffer[512];
        va_list args;
        va_start(args, format);
        vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        if (!log.empty()) log += ";";
        log += buffer;
    }
    static std::string v(const SVector3f& a)
    {
        char buffer[96];
        snprintf(buffer, sizeof buffer, "(%g %g %g)", a.x, a.y, a.z);
        return buffer;
    }
};

struct SCallCase
{
    const char* chunk;
    const char* result;
    const char* calls;
};

// Results as luatest::CState::run gives them; calls as the driver saw them.
const SCallCase kCases[] = {
    // Missing arguments: nothing happens, documented failure values.
    {"return audio.loadSound()", "", ""},
    {"return audio.playSound()", "false", ""},
    {"return audio.playOrientedSound()", "false", ""},
    {"return audio.startTrackedSound()", "-1", ""},
    {"return audio.updateTrackedSound()", "nil", ""},
    {"return audio.stopTrackedSound()", "", ""},
    {"return audio.playLoopSound()", "", ""},
    {"return audio.stopLoopSound()", "", ""},
    {"return audio.playMusic()", "", ""},
    {"return audio.updateMusic('m.ogg')", "false", ""},
    {"return audio.stopMusic()", "", ""},
    {"return audio.playVoice()", "", ""},
    {"return audio.setSoundListenerPosition(1, 2)", "", ""},
    {"return audio.setSoundListenerOrientation(1, 2, 3, 4, 5)", "", ""},
    {"return audio.setGlobalPitch()", "", ""},
    {"return audio.setMusicHasGlobalPitch()", "", ""},
    {"return audio.setGlobalRolloffFactor()", "", ""},
    {"return audio.setOpenAlDistanceModel()", "", ""},
    {"return audio.setOrientedSoundCone(30)", "", ""},
    {"return audio.setSoundPriority()", "", ""},
    {"return audio.getSoundDuration()", "nil", ""},
    {"return audio.setMasterVolume()", "", ""},

    // Defaults.
    {"return audio.loadSound('a.ogg')", "", "loadSound(a.ogg)"},
    {"return audio.playSound('a.ogg')", "true", "playSound(a.ogg,1,0,1)"},
    {"return audio.playSound('a.ogg', 0.5, -0.5, 2)", "true", "playSound(a.ogg,0.5,-0.5,2)"},
    {"return audio.playSound('a.ogg', nil, nil, 3)", "true", "playSound(a.ogg,1,0,3)"},
    {"return audio.playOrientedSound('a.ogg', 1, 1, 5, 6)", "true",
     "playOrientedSound(a.ogg,1,1,(0 0 0),(0 0 0))"},
    {"return audio.playOrientedSound('a.ogg', 1, 1, 5, 6, 7, 8, 9)", "true",
     "playOrientedSound(a.ogg,1,1,(5 6 7),(0 0 0))"},
    {"return audio.playOrientedSound('a.ogg', 1, 1, 5, 6, 7, 8, 9, 10)", "true",
     "playOrientedSound(a.ogg,1,1,(5 6 7),(8 9 10))"},
    {"return audio.startTrackedSound('a.ogg')", "7",
     "startTrackedSound(a.ogg,1,1,(0 0 0),(0 0 0),0)"},
    {"return audio.startTrackedSound('a.ogg', 1, 1, 1, 2, 3, 4, 5, 6, 5)", "7",
     "startTrackedSound(a.ogg,1,1,(1 2 3),(4 5 6),5)"},
    {"return audio.updateTrackedSound(7)", "0.25", "updateTrackedSound(7,1,1,(0 0 0),(0 0 0))"},
    {"return audio.stopTrackedSound(7)", "", "stopTrackedSound(7)"},
    {"return audio.playLoopSound('a.ogg', 1, 0, 1)", "", "playLoopSound(a.ogg,1,0,1,0)"},
    {"return audio.playLoopSound('a.ogg', 1, 0, 1, 1.5)", "", "playLoopSound(a.ogg,1,0,1,1.5)"},
    {"return audio.stopLoopSound('a.ogg')", "", "stopLoopSound(a.ogg)"},
    {"return audio.playMusic('m.ogg')", "", "playMusic(m.ogg,1,0)"},
    {"return audio.playMusic('m.ogg', 0.5, true)", "", "playMusic(m.ogg,0.5,1)"},
    {"return audio.playMusic('m.ogg', 0.5, 0)", "", "playMusic(m.ogg,0.5,1)"},
    {"return audio.playMusic('m.ogg', 0.5, false)", "", "playMusic(m.ogg,0.5,0)"},
    {"return audio.playMusic('m.ogg', 0.5, nil)", "", "playMusic(m.ogg,0.5,0)"},
    {"return audio.updateMusic('m.ogg', 0.3)", "true", "updateMusic(m.ogg,0.3)"},
    {"return audio.stopMusic('m.ogg')", "", "stopMusic(m.ogg)"},
    {"return audio.stopAllMusic()", "", "stopAllMusic()"},
    {"return audio.playVoice('v.ogg')", "", "playVoice(v.ogg)"},
    {"return audio.playVoice('v.ogg', true)", "", "playVoice(v.ogg)"},
    {"return audio.playVoice('v.ogg', false)", "", "isVoicePlaying();playVoice(v.ogg)"},
    {"return audio.playVoice('v.ogg', nil)", "", "playVoice(v.ogg)"},
    {"return audio.setSoundListenerPosition(1, 2, 3)", "", "setListenerPosition((1 2 3),(0 0 0))"},
    {"return audio.setSoundListenerPosition(1, 2, 3, 4, 5)", "",
     "setListenerPosition((1 2 3),(0 0 0))"},
    {"return audio.setSoundListenerPosition(1, 2, 3, 4, 5, 6)", "",
     "setListenerPosition((1 2 3),(4 5 6))"},
    {"return audio.setSoundListenerOrientation(0, 0, 1, 0, -1, 0)", "",
     "setListenerOrientation((0 0 1),(0 -1 0))"},
    {"return audio.setGlobalPitch(1.5)", "", "setGlobalPitch(1.5)"},
    {"return audio.setMusicHasGlobalPitch(true)", "", "setMusicHasGlobalPitch(1)"},
    {"return audio.setMusicHasGlobalPitch(false)", "", "setMusicHasGlobalPitch(0)"},
    {"return audio.setGlobalRolloffFactor(2)", "", "setGlobalRolloffFactor(2)"},
    {"return audio.setOpenAlDistanceModel(3)", "", "setDistanceModel(3)"},
    {"return audio.setOrientedSoundCone(30, 75)", "", "setOrientedSoundCone(30,75,(0 0 -1))"},
    {"return audio.setOrientedSoundCone(30, 75, 1, 0)", "", "setOrientedSoundCone(30,75,(0 0 -1))"},
    {"return audio.setOrientedSoundCone(30, 75, 1, 0, 0)", "",
     "setOrientedSoundCone(30,75,(1 0 0))"},
    {"return audio.setSoundPriority(4)", "", "setSoundPriority(4)"},
    {"return audio.getSoundDuration('two.ogg')", "2", "getSoundDuration(two.ogg)"},
    {"return audio.getMasterVolume()", "0.75", ""},
    {"audio.setMasterVolume(0.5) return audio.getMasterVolume()", "0.5", "setMasterVolume(0.5)"},
    {"return audio.getSoundDuration('none.ogg')", "0", "getSoundDuration(none.ogg)"},

    // Negative, NaN and huge numbers never reach the driver as they are.
    {"return audio.startTrackedSound('a.ogg', -1)", "-2", ""},
    {"return audio.startTrackedSound('a.ogg', 1, -1)", "-2", ""},
    {"return audio.startTrackedSound('a.ogg', 0/0)", "-2", ""},
    {"return audio.startTrackedSound('a.ogg', 1, 1, 0, 0, 0, 0, 0, 0, -0.5)", "-2", ""},
    {"return audio.startTrackedSound('a.ogg', 1, 1, 0, 0, 0, 0, 0, 0, 0/0)", "-2", ""},
    {"return audio.startTrackedSound('a.ogg', 1e300, 1e300, 0/0, 1/0, -1/0, 0, 0, 0, 1/0)", "7",
     "startTrackedSound(a.ogg,1000,1000,(0 1e+09 -1e+09),(0 0 0),inf)"},
    {"return audio.updateTrackedSound(7, -1, -3)", "0.25",
     "updateTrackedSound(7,0,0,(0 0 0),(0 0 0))"},
    {"return audio.updateTrackedSound(7, 0/0, 1/0)", "0.25",
     "updateTrackedSound(7,0,1000,(0 0 0),(0 0 0))"},
    {"return audio.updateTrackedSound(1e300)", "0.25",
     "updateTrackedSound(2147483647,1,1,(0 0 0),(0 0 0))"},
    {"return audio.updateTrackedSound(0/0)", "0.25", "updateTrackedSound(0,1,1,(0 0 0),(0 0 0))"},
    {"return audio.playSound('a.ogg', -1, 0/0, -2)", "true", "playSound(a.ogg,0,0,0)"},
    {"return audio.playSound('a.ogg', 1/0, 1e300, 1e300)", "true",
     "playSound(a.ogg,1000,1e+09,1000)"},
    {"return audio.playOrientedSound('a.ogg', 0/0, -1, 0/0, 0/0, 0/0)", "true",
     "playOrientedSound(a.ogg,0,0,(0 0 0),(0 0 0))"},
    {"return audio.playLoopSound('a.ogg', -1, -1/0, 0/0, -5)", "",
     "playLoopSound(a.ogg,0,-1e+09,0,0)"},
    {"return audio.playLoopSound('a.ogg', 1, 0, 1, 1e300)", "", "playLoopSound(a.ogg,1,0,1,inf)"},
    {"return audio.playMusic('m.ogg', -4)", "", "playMusic(m.ogg,0,0)"},
    {"return audio.updateMusic('m.ogg', 0/0)", "true", "updateMusic(m.ogg,0)"},
    {"return audio.setGlobalPitch(0/0)", "", ""},
    {"return audio.setGlobalPitch(-2)", "", "setGlobalPitch(0)"},
    {"return audio.setGlobalPitch(1e300)", "", "setGlobalPitch(1000)"},
    {"return audio.setGlobalRolloffFactor(0/0)", "", ""},
    {"return audio.setGlobalRolloffFactor(-1)", "", "setGlobalRolloffFactor(0)"},
    {"return audio.setOpenAlDistanceModel(1e300)", "", "setDistanceModel(2147483647)"},
    {"return audio.setOpenAlDistanceModel(0/0)", "", "setDistanceModel(0)"},
    {"return audio.setOrientedSoundCone(-5, 1e9, 0/0, 1/0, 1)", "",
     "setOrientedSoundCone(0,360,(0 1e+09 1))"},
    {"return audio.setSoundListenerPosition(0/0, 1/0, -1e300)", "",
     "setListenerPosition((0 1e+09 -1e+09),(0 0 0))"},
    {"return audio.setSoundPriority(0/0)", "", "setSoundPriority(0)"},
    {"return audio.setMasterVolume(0/0)", "", ""},
    {"return audio.setMasterVolume(-1)", "", "setMasterVolume(0)"},
    {"return audio.setMasterVolume(7)", "", "setMasterVolume(1)"},
    {"return audio.setMasterVolume(1/0)", "", "setMasterVolume(1)"},

    // Wrong types raise the runtime's argument errors.
    {"return audio.playSound({})", "error:bad argument #1", ""},
    {"return audio.playSound('a.ogg', 'loud')", "error:bad argument #2", ""},
    {"return audio.startTrackedSound('a.ogg', 1, {})", "error:bad argument #3", ""},
    {"return audio.updateTrackedSound('seven')", "error:bad argument #1", ""},
    {"return audio.setSoundListenerPosition(1, 'x', 3)", "error:bad argument #2", ""},
    {"return audio.setOpenAlDistanceModel(true)", "error:bad argument #1", ""},
    {"return audio.setMasterVolume('loud')", "error:bad argument #1", ""},
    {"return audio.updateMusic('m.ogg', nil)", "error:bad argument #2", ""},
    // Numbers are names too, as the runtime converts them.
    {"return audio.playSound(12)", "true", "playSound(12,1,0,1)"},
};

class AudioLibrary : public ::testing::TestWithParam<SCallCase>
{
};

TEST_P(AudioLibrary, CallsTheDriverAsDocumented)
{
    const SCallCase& c = GetParam();
    auto* driver = new CRecordingDriver();
    {
        zu::lua::CLuaAudioLibrary library(driver);
        luatest::CState state;
        library.install(state.L);
        std::string got = state.run(c.chunk);
        EXPECT_TRUE(luatest::matches(got, c.result)) << c.chunk << " gave " << got;
        EXPECT_EQ(c.calls, driver->log) << c.chunk;
    }
    EXPECT_EQ(1, driver->getReferenceCount());
    driver->drop();
}

INSTANTIATE_TEST_SUITE_P(Calls, AudioLibrary, ::testing::ValuesIn(kCases));

TEST(AudioLibraryVoice, FalseInterruptKeepsAPlayingVoice)
{
    auto* driver = new CRecordingDriver();
    driver->voicePlaying = true;
    {
        zu::lua::CLuaAudioLibrary library(driver);
        luatest::CState state;
        library.install(state.L);
        state.run("audio.playVoice('v.ogg', false)");
        EXPECT_EQ("isVoicePlaying()", driver->log);
        driver->log.clear();
        state.run("audio.playVoice('w.ogg')");
        EXPECT_EQ("playVoice(w.ogg)", driver->log);
    }
    driver->drop();
}

TEST(AudioLibraryNoDriver, EveryFunctionReturnsItsFailureValue)
{
    zu::lua::CLuaAudioLibrary library(nullptr);
    luatest::CState state;
    library.install(state.L);
    EXPECT_EQ("false,false,-1,0,false,0",
              state.run("return audio.playSound('a.ogg'), audio.playOrientedSound('a.ogg'),"
                        " audio.startTrackedSound('a.ogg'), audio.updateTrackedSound(1),"
                        " audio.updateMusic('m.ogg', 1), audio.getSoundDuration('a.ogg')"));
    EXPECT_EQ("1", state.run("audio.setMasterVolume(0.5) return audio.getMasterVolume()"));
    EXPECT_EQ("24", state.run("local n = 0 for _ in pairs(audio) do n = n + 1 end return n"));
}

} // namespace
