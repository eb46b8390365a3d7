// ILogger: the device's logger. Its log writes through the process-wide output
// (standard output); the level travels with every message.
#pragma once

#include "core/IUnknown.h"

namespace zu::event
{

class IEventReceiver;

class ILogger : public virtual IUnknown
{
public:
    virtual int getLogLevel() const = 0;
    virtual void setLogLevel(int level) = 0;
    virtual void log(const char* text, int level) = 0;
    // Nothing when level is below the threshold; otherwise text + ": " + hint.
    virtual void logWithHint(const char* text, const char* hint, int level) = 0;
    virtual void setReceiver(IEventReceiver* receiver) = 0;
};

} // namespace zu::event
