#include "net/rudp/RudpProtocol.h"

#include <chrono>

namespace kelvo::net::rudp
{

RakTime getTime()
{
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return RakTime(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

} // namespace kelvo::net::rudp
