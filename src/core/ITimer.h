// ITimer: wall-clock time since an arbitrary start; callers take differences.
// The device owns the one timer (other/CTimer); lower layers such as the
// audio driver read it through this interface.
#pragma once

#include "core/IUnknown.h"

#include <cstdint>

namespace zu
{

class ITimer : public virtual IUnknown
{
public:
    virtual uint32_t getRealTime() const = 0; // milliseconds
    virtual double getSeconds() const = 0;
};

} // namespace zu
