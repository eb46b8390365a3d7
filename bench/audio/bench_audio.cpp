// Audio benchmark: how fast Ogg Vorbis decodes (whole-file decoding of
// effects and the streaming reads of music), and what one frame's driver
// update costs while music streams and 32 sounds play.
//
// Usage: bench_audio [FOLDER]
// Makes its test files in FOLDER (default: a fresh folder under $TMPDIR or
// /tmp) with sox and oggenc, and plays on OpenAL Soft's null back end.
#include "audio/COggVorbisReader.h"
#include "audio/COpenALDriver.h"
#include "core/Output.h"
#include "io/CReadFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{

using Clock = std::chrono::steady_clock;

bool runTool(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A stereo file of `seconds` with noise and tones, so the encoder has real
// work to leave for the decoder.
bool makeOgg(const std::string& folder, const std::string& name, int seconds)
{
    std::string wav = folder + "/" + name + ".wav";
    if (!runTool({"sox", "-n", "-r", "44100", "-b", "16", "-c", "2", wav, "synth",
                  std::to_string(seconds), "pinknoise", "sine", "220-880", "vol", "0.5"}) ||
        !runTool({"oggenc", "-Q", "-q", "5", wav, "-o", folder + "/" + name + ".ogg"}))
        return false;
    unlink(wav.c_str());
    return true;
}

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void quiet(const char*) {}

} // namespace

int main(int argc, char** argv)
{
    std::string folder;
    if (argc > 1)
        folder = argv[1];
    else
    {
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pellora-bench-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back(0);
        if (!mkdtemp(buffer.data())) return 1;
        folder = buffer.data();
    }
    printf("Making test files in %s\n", folder.c_str());
    if (!makeOgg(folder, "music", 60) || !makeOgg(folder, "effect", 2))
    {
        fprintf(stderr, "bench_audio: sox and oggenc are needed\n");
        return 1;
    }

    // Whole-file decoding, as effects are loaded.
    {
        const int rounds = 5;
        double seconds = 0, audio = 0;
        for (int i = 0; i < rounds; ++i)
        {
            zu::io::IReadFile* file = kelvo::io::CReadFile::create((folder + "/music.ogg").c_str());
            kelvo::audio::COggVorbisReader reader;
            Clock::time_point start = Clock::now();
            if (!file || reader.open(file) != 0) return 1;
            std::vector<char> pcm;
            if (reader.decodeAll(pcm, 1ull << 30) != 0) return 1;
            seconds += since(start);
            audio += double(pcm.size()) / 4.0 / reader.getRate();
            file->drop();
        }
        printf("whole-file decoding: %.1f s of 44.1 kHz stereo in %.3f s: %.0fx real time\n",
               audio / rounds, seconds / rounds, audio / seconds);
    }

    // Streaming reads in 4096-byte pieces, as music is refilled.
    {
        zu::io::IReadFile* file = kelvo::io::CReadFile::create((folder + "/music.ogg").c_str());
        kelvo::audio::COggVorbisReader reader;
        if (!file || reader.open(file) != 0) return 1;
        char piece[4096];
        long total = 0, got;
        Clock::time_point start = Clock::now();
        while ((got = reader.read(piece, sizeof piece)) > 0)
            total += got;
        double seconds = since(start);
        double audio = total / 4.0 / reader.getRate();
        printf("streamed decoding:   %.1f s in %.3f s: %.0fx real time\n", audio, seconds,
               audio / seconds);
        file->drop();
    }

    // One frame's update with music streaming and 32 sounds playing.
    setenv("ALSOFT_DRIVERS", "null", 1);
    zu::core::setPrintHook(&quiet);
    auto* driver = new kelvo::audio::COpenALDriver(nullptr, nullptr);
    if (!driver->hasDevice())
    {
        fprintf(stderr, "bench_audio: no OpenAL device\n");
        return 1;
    }
    driver->setSoundFolder(folder.c_str());
    driver->setMusicVolumeLevel(5);
    Clock::time_point loadStart = Clock::now();
    driver->loadSound("effect.ogg");
    double loadSeconds = since(loadStart);
    driver->playMusic("music.ogg", 1.f, true);
    for (int i = 0; i < 32; ++i)
        driver->startTrackedSound("effect.ogg", 0.5f, 1.f + i * 0.01f,
                                  zu::audio::SVector3f{float(i), 0.f, 0.f}, {}, i * 0.05f);

    // Frames of about 16 ms: each update finds a buffer or two to refill.
    std::vector<double> costs, trackedCosts;
    for (int frame = 0; frame < 300; ++frame)
    {
        Clock::time_point start = Clock::now();
        driver->update();
        costs.push_back(since(start) * 1e6);
        start = Clock::now();
        for (int id = 1; id <= 32; ++id)
            driver->updateTrackedSound(id, 0.5f, 1.f, zu::audio::SVector3f{float(frame), 0, 0}, {});
        trackedCosts.push_back(since(start) * 1e6);
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    bool stillPlaying = driver->isMusicOpen("music.ogg") && driver->countPlayingSources(true) == 32;
    driver->drop();

    auto report = [](const char* what, std::vector<double> v)
    {
        std::sort(v.begin(), v.end());
        double sum = 0;
        for (double x : v)
            sum += x;
        printf("%s: mean %.1f us, median %.1f us, p99 %.1f us, max %.1f us (%zu frames)\n", what,
               sum / v.size(), v[v.size() / 2], v[v.size() * 99 / 100], v.back(), v.size());
    };
    printf("loading a 2 s stereo effect (decode + buffer upload): %.2f ms\n", loadSeconds * 1e3);
    report("update, music + 32 sounds", costs);
    report("32 x updateTrackedSound", trackedCosts);
    printf("everything still playing at the end: %s\n", stillPlaying ? "yes" : "no");
    return stillPlaying ? 0 : 1;
}
