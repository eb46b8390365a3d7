// The process-wide text output that printing, logging and failed checks all end in.
//
// Messages are formatted into a 1024-byte buffer (at most 1023 characters are
// kept). The print hook writes to standard output by default; the log sink is
// set by the device's logger and, until one exists, prints the text as a line.
// Log levels: 0 information, 1 warning, 2 error, 3 the start-up banner.
#pragma once

namespace zu::core
{

enum ELogLevel
{
    ELL_INFORMATION = 0,
    ELL_WARNING = 1,
    ELL_ERROR = 2,
    ELL_BANNER = 3
};

using PrintHook = void (*)(const char* text);
using CheckHook = void (*)(const char* message, const char* condition, int line, const char* file);
using LogSink = void (*)(const char* text, int level);

// Each setter returns the previous hook; null restores the default.
PrintHook setPrintHook(PrintHook hook);
CheckHook setCheckHook(CheckHook hook);
LogSink setLogSink(LogSink sink);

// printf-style output through the print hook; zuPrintLn adds a line feed when
// the formatted text is shorter than 1023 characters.
void zuPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
void zuPrintLn(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Hands a literal text to the log sink (a '%' in it is printed unchanged).
void zuLogText(const char* text, int level);
// Formats into the 1024-byte buffer, then logs.
void zuLog(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Reports a failed check through the check hook. `file` is a source path; it is
// shown relative to the source root, without extension.
void checkFailed(const char* message, const char* condition, int line, const char* file);

// The default check hook's report text, exposed for tests.
void formatCheckReport(char* out, unsigned capacity, const char* message, const char* condition,
                       int line, const char* file);

} // namespace zu::core

// Checks guard programming errors. Each is an expression that is false when the
// check failed, so callers can refuse to go on: if (!ZU_CHECK(p)) return;
#define ZU_CHECK_MSG(cond, msg)                                                                   \
    ((cond) ? true : (::zu::core::checkFailed((msg), #cond, __LINE__, __FILE__), false))
#define ZU_CHECK(cond) ZU_CHECK_MSG(cond, "No description")
