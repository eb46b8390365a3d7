// CTimer: the monotonic clock of the device. Tests may inject a clock function
// so time advances exactly as they say.
#pragma once

#include "core/ITimer.h"

namespace kelvo
{

class CTimer : public zu::ITimer
{
public:
    // Returns seconds since an arbitrary start.
    using ClockFunction = double (*)(void* context);

    CTimer() = default;
    CTimer(ClockFunction clock, void* context) : m_clock(clock), m_context(context) {}

    uint32_t getRealTime() const override;
    double getSeconds() const override;

private:
    ClockFunction m_clock = nullptr;
    void* m_context = nullptr;
};

} // namespace kelvo
