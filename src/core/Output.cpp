#include "core/Output.h"

#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zu::core
{
namespace
{

constexpr unsigned kBufferSize = 1024;

void defaultPrint(const char* text)
{
    fputs(text, stdout);
    fflush(stdout);
}

#ifdef _WIN32
bool debuggerAttached()
{
    return IsDebuggerPresent() != 0;
}

void breakIntoDebugger()
{
    DebugBreak();
}
#else
bool debuggerAttached()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 10, "TracerPid:") == 0)
            return std::atoi(line.c_str() + 10) != 0;
    return false;
}

void breakIntoDebugger()
{
    raise(SIGTRAP);
}
#endif

void defaultCheck(const char* message, const char* condition, int line, const char* file)
{
    char report[kBufferSize];
    formatCheckReport(report, sizeof report, message, condition, line, file);
    zuPrintLn("%s", report);
    if (debuggerAttached())
        breakIntoDebugger();
    else
        abort();
}

void defaultLog(const char* text, int) { zuPrintLn("%s", text); }

PrintHook g_print = defaultPrint;
CheckHook g_check = defaultCheck;
LogSink g_log = defaultLog;

void vprint(bool newline, const char* format, va_list args)
{
    char buffer[kBufferSize];
    int n = vsnprintf(buffer, sizeof buffer, format, args);
    if (n < 0)
        return;
    size_t length = strlen(buffer);
    // A cut text keeps its line end, so the next line is not glued to it.
    const bool cut = size_t(n) >= kBufferSize - 1;
    const size_t formatLength = strlen(format);
    if (cut && !newline && formatLength && format[formatLength - 1] == '\n')
        buffer[kBufferSize - 2] = '\n';
    if (cut && newline)
        length = kBufferSize - 2;
    if (newline && length < kBufferSize - 1)
    {
        buffer[length] = '\n';
        buffer[length + 1] = 0;
    }
    g_print(buffer);
}

// "src/io/CFileSystem.cpp" -> "io/CFileSystem"
std::string sourceName(const char* file)
{
    std::string path = file ? file : "";
    size_t src = path.rfind("/src/");
    if (src != std::string::npos)
        path.erase(0, src + 5);
    size_t dot = path.rfind('.');
    if (dot != std::string::npos && path.find('/', dot) == std::string::npos)
        path.erase(dot);
    return path;
}

} // namespace

PrintHook setPrintHook(PrintHook hook)
{
    PrintHook old = g_print;
    g_print = hook ? hook : defaultPrint;
    return old;
}

CheckHook setCheckHook(CheckHook hook)
{
    CheckHook old = g_check;
    g_check = hook ? hook : defaultCheck;
    return old;
}

LogSink setLogSink(LogSink sink)
{
    LogSink old = g_log;
    g_log = sink ? sink : defaultLog;
    return old;
}

void zuPrint(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprint(false, format, args);
    va_end(args);
}

void zuPrintLn(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprint(true, format, args);
    va_end(args);
}

void zuLogText(const char* text, int level) { g_log(text ? text : "", level); }

void zuLog(int level, const char* format, ...)
{
    char buffer[kBufferSize];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n >= 0)
        g_log(buffer, level);
}

void formatCheckReport(char* out, unsigned capacity, const char* message, const char* condition,
                       int line, const char* file)
{
    snprintf(out, capacity, "Assertion failed: %s\nCondition: %s was false\nLine: %s:%d", message,
             condition, sourceName(file).c_str(), line);
}

void checkFailed(const char* message, const char* condition, int line, const char* file)
{
    g_check(message, condition, line, file);
}

} // namespace zu::core
