// Helpers shared by the io and configuration tests: scratch folders, running
// real tools, and catching what the code logs and which checks fail.
#pragma once

#include "core/Output.h"
#include "io/IReadFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace zu::core
{
// Failure messages show the text rather than the object's bytes.
inline void PrintTo(const CString& text, std::ostream* out)
{
    *out << '"' << text.str() << '"';
}
} // namespace zu::core

namespace iotest
{

// A fresh folder under the temporary folder, removed by nobody: tests leave
// their inputs behind for inspection when they fail.
inline std::string makeScratchFolder(const char* tag)
{
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pellora-" + tag + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back(0);
    const char* made = mkdtemp(buffer.data());
    return made ? std::string(made) : std::string();
}

// Runs a program found on PATH; returns its exit status, or -1.
inline int runTool(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline bool fileExists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

inline std::string readDiskFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeDiskFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// Everything left in the file, read in small pieces so that short reads count.
inline std::string readAll(zu::io::IReadFile* file, uint32_t piece = 4093)
{
    std::string out;
    std::vector<char> buffer(piece);
    int32_t got;
    while ((got = file->read(buffer.data(), piece)) > 0)
        out.append(buffer.data(), size_t(got));
    return out;
}

// Records log lines and failed checks instead of printing or aborting.
class CCapture
{
  public:
    CCapture()
    {
        lines().clear();
        checks().clear();
        m_oldSink = zu::core::setLogSink(&onLog);
        m_oldCheck = zu::core::setCheckHook(&onCheck);
    }
    ~CCapture()
    {
        zu::core::setLogSink(m_oldSink);
        zu::core::setCheckHook(m_oldCheck);
    }
    CCapture(const CCapture&) = delete;
    CCapture& operator=(const CCapture&) = delete;

    static std::vector<std::string>& lines()
    {
        static std::vector<std::string> list;
        return list;
    }
    static std::vector<std::string>& checks()
    {
        static std::vector<std::string> list;
        return list;
    }
    // True when some log line contains the text.
    static bool logged(const std::string& text)
    {
        for (const std::string& line : lines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

  private:
    static void onLog(const char* text, int) { lines().push_back(text); }
    static void onCheck(const char*, const char* condition, int, const char*)
    {
        checks().push_back(condition);
    }

    zu::core::LogSink m_oldSink;
    zu::core::CheckHook m_oldCheck;
};

} // namespace iotest
