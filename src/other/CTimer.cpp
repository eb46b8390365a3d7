#include "other/CTimer.h"

#include <chrono>

namespace kelvo
{

double CTimer::getSeconds() const
{
    if (m_clock)
        return m_clock(m_context);
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

uint32_t CTimer::getRealTime() const
{
    if (m_clock)
        return static_cast<uint32_t>(static_cast<int64_t>(m_clock(m_context) * 1000.0));
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace kelvo
