// bench_raknet_relay HOST_PORT DROP SECONDS: a UDP relay on 127.0.0.1 in
// front of 127.0.0.1:HOST_PORT that drops the fraction DROP of the
// datagrams in each direction. Prints "RELAY port" once it listens, runs for
// SECONDS, then prints what it forwarded and dropped.
#include "CLossyRelay.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: bench_raknet_relay HOST_PORT DROP SECONDS\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const double drop = std::atof(argv[2]);
    const int seconds = std::atoi(argv[3]);
    if (port <= 0 || port > 65535 || drop < 0 || drop >= 1 || seconds <= 0 || seconds > 3600)
        return 2;
    using kelvo::net::rudp::SSystemAddress;
    rudptest::CLossyRelay relay(
        SSystemAddress::ipv4(127, 0, 0, 1, uint16_t(port)), {drop, 0, 0},
        uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    if (!relay.ok()) return 1;
    std::printf("RELAY %u\n", unsigned(relay.port()));
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    std::printf("forwarded %llu dropped %llu\n", (unsigned long long)relay.forwarded(),
                (unsigned long long)relay.dropped());
    return 0;
}
