// CLogger: the device's logger. Creating one makes it the process-wide log
// sink, so every engine message goes through it to standard output.
#pragma once

#include "event/ILogger.h"

namespace kelvo
{

class CLogger : public zu::event::ILogger
{
public:
    CLogger();
    ~CLogger() override;

    int getLogLevel() const override { return m_level; }
    void setLogLevel(int level) override { m_level = level; }
    void log(const char* text, int level) override;
    void logWithHint(const char* text, const char* hint, int level) override;
    void setReceiver(zu::event::IEventReceiver* receiver) override { m_receiver = receiver; }

private:
    int m_level = 0;
    zu::event::IEventReceiver* m_receiver = nullptr;
};

} // namespace kelvo
