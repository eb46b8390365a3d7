// Helpers of the audio tests: the sound files made by real tools (once per
// version of the script, shared through the test data folder), a clock the
// test sets by hand, and a capture of printed text and failed checks.
#pragma once

#include "io/IoTestSupport.h"
#include "core/ITimer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace audiotest
{

// The folder holding the files of make_sounds.py; empty when they could not
// be made (the calling test has failed then).
inline const std::string& soundFolder()
{
    static std::string folder;
    if (!folder.empty()) return folder;
    struct stat script;
    if (stat(PELLORA_MAKE_SOUNDS, &script) != 0) return folder;
    const char* data = getenv("PELLORA_TEST_DATA");
    std::string shared;
    if (data && *data)
    {
        mkdir(data, 0755);
        shared = std::string(data) + "/sounds-" + std::to_string(script.st_mtime) + "-" +
                 std::to_string(script.st_size);
        if (iotest::fileExists(shared + "/made")) return folder = shared;
    }
    // Made in a fresh folder and moved into place whole, so tests running
    // side by side never see half-written files.
    std::string fresh = iotest::makeScratchFolder("sounds");
    if (fresh.empty() || iotest::runTool({PELLORA_PYTHON, PELLORA_MAKE_SOUNDS, fresh}) != 0)
        return folder;
    iotest::writeDiskFile(fresh + "/made", "made by make_sounds.py\n");
    if (!shared.empty() &&
        (rename(fresh.c_str(), shared.c_str()) == 0 || iotest::fileExists(shared + "/made")))
        return folder = shared;
    return folder = fresh;
}

class CFakeTimer : public zu::ITimer
{
  public:
    uint32_t getRealTime() const override { return m_ms; }
    double getSeconds() const override { return m_ms / 1000.0; }
    void set(uint32_t ms) { m_ms = ms; }

  private:
    uint32_t m_ms = 1000;
};

// Collects what the code prints and the checks that fail (which then do not
// stop the program).
class CPrintCapture
{
  public:
    CPrintCapture()
    {
        text().clear();
        checks().clear();
        m_oldPrint = zu::core::setPrintHook(&onPrint);
        m_oldCheck = zu::core::setCheckHook(&onCheck);
    }
    ~CPrintCapture()
    {
        zu::core::setPrintHook(m_oldPrint);
        zu::core::setCheckHook(m_oldCheck);
    }
    CPrintCapture(const CPrintCapture&) = delete;
    CPrintCapture& operator=(const CPrintCapture&) = delete;

    static std::string& text()
    {
        static std::string all;
        return all;
    }
    static std::vector<std::string>& checks()
    {
        static std::vector<std::string> list;
        return list;
    }
    static bool printed(const std::string& what) { return text().find(what) != std::string::npos; }
    static void clear() { text().clear(); }

  private:
    static void onPrint(const char* line) { text() += line; }
    static void onCheck(const char*, const char* condition, int, const char*)
    {
        checks().push_back(condition);
    }

    zu::core::PrintHook m_oldPrint;
    zu::core::CheckHook m_oldCheck;
};

// Runs a program with its standard output going to a file and returns that
// output; empty when it failed.
inline std::string runToolOutput(const std::vector<std::string>& args)
{
    std::string outPath = iotest::makeScratchFolder("tool") + "/out.txt";
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return "";
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "";
    return iotest::readDiskFile(outPath);
}

// "a=1 b=2\nc=3" -> {a: 1, b: 2, c: 3}
inline std::map<std::string, double> parseValues(const std::string& text)
{
    std::map<std::string, double> values;
    std::istringstream in(text);
    std::string token;
    while (in >> token)
    {
        size_t eq = token.find('=');
        if (eq != std::string::npos) values[token.substr(0, eq)] = atof(token.c_str() + eq + 1);
    }
    return values;
}

} // namespace audiotest
