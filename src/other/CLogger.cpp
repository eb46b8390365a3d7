#include "other/CLogger.h"

#include "core/Output.h"

#include <string>

namespace kelvo
{
namespace
{
CLogger* g_logger = nullptr;

void logSink(const char* text, int level)
{
    if (g_logger)
        g_logger->log(text, level);
}
} // namespace

CLogger::CLogger()
{
    g_logger = this;
    zu::core::setLogSink(logSink);
}

CLogger::~CLogger()
{
    if (g_logger == this)
    {
        g_logger = nullptr;
        zu::core::setLogSink(nullptr);
    }
}

void CLogger::log(const char* text, int)
{
    // The text is literal: a '%' in a message is printed as it stands.
    zu::core::zuPrintLn("%s", text ? text : "");
}

void CLogger::logWithHint(const char* text, const char* hint, int level)
{
    if (level < m_level)
        return;
    std::string line = std::string(text ? text : "") + ": " + (hint ? hint : "");
    log(line.c_str(), level);
}

} // namespace kelvo
