// pellora-facilitator: introduces peers that want to reach each other
// through NAT. Games attach to it with RaknetInstance:attachToNatPunchthrough
// and ask for routes with openNat; it tells both peers where and when to
// send, and they open the route themselves.
//
//   pellora-facilitator [--port N] [--bind ADDRESS] [--max-connections N]
//                       [--seconds N] [--verbose]
//
// It listens on 127.0.0.1 port 61111 unless told otherwise: to serve other
// machines, bind an address they reach (--bind 0.0.0.0 for every IPv4
// address) on a machine that is not behind NAT itself. It only ever answers
// the peers that connect to it. It runs until interrupted, or for --seconds.
#include "net/rudp/CNatPunchthroughServer.h"
#include "net/rudp/CRakPeer.h"
#include "net/rudp/MessageIds.h"
#include "net/rudp/NatPunchthrough.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace
{

using namespace kelvo::net::rudp;

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

int usage(const char* message)
{
    if (message) std::fprintf(stderr, "pellora-facilitator: %s\n", message);
    std::fprintf(stderr, "usage: pellora-facilitator [--port N] [--bind ADDRESS] "
                         "[--max-connections N] [--seconds N] [--verbose]\n");
    return 2;
}

bool number(const char* text, long low, long high, long& out)
{
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end != text && *end == 0 && out >= low && out <= high;
}

} // namespace

int main(int argc, char** argv)
{
    long port = DEFAULT_FACILITATOR_PORT, maxConnections = 256, seconds = 0;
    bool verbose = false;
    SSocketDescriptor socket;
    socket.bindAddress = "127.0.0.1";
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") return usage(nullptr), 0;
        if (arg == "--verbose")
            verbose = true;
        else if (arg == "--port" && hasValue)
        {
            if (!number(argv[++i], 1, 65535, port)) return usage("--port takes 1 to 65535");
        }
        else if (arg == "--bind" && hasValue)
            socket.bindAddress = argv[++i];
        else if (arg == "--max-connections" && hasValue)
        {
            if (!number(argv[++i], 2, 65535, maxConnections))
                return usage("--max-connections takes 2 to 65535");
        }
        else if (arg == "--seconds" && hasValue)
        {
            if (!number(argv[++i], 1, 86400 * 365, seconds))
                return usage("--seconds takes a positive number");
        }
        else
            return usage(("unknown argument " + arg).c_str());
    }
    SSystemAddress bind;
    if (!SSystemAddress::fromString(socket.bindAddress, bind))
        return usage("--bind takes a numeric IPv4 or IPv6 address");
    socket.family = bind.family;
    socket.port = uint16_t(port);

    CRakPeer peer;
    CNatPunchthroughServer server;
    peer.attachPlugin(&server);
    peer.setMaximumIncomingConnections(unsigned(maxConnections));
    const EStartupResult started = peer.startup(unsigned(maxConnections), socket);
    if (started != SR_STARTED)
    {
        std::fprintf(stderr, "pellora-facilitator: cannot listen on %s port %ld (%s)\n",
                     socket.bindAddress.c_str(), port,
                     started == SR_SOCKET_PORT_ALREADY_IN_USE ? "the port is in use"
                                                              : "the socket failed");
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf("Facilitator on %s\n", peer.getBoundAddress().toString().c_str());
    std::fflush(stdout);

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!g_stop && (seconds == 0 || std::chrono::steady_clock::now() < end))
    {
        while (auto packet = peer.receive())
            if (verbose)
            {
                std::printf("%s %s %s\n", messageName(packet->id()),
                            packet->guid.toString().c_str(), packet->address.toString().c_str());
                std::fflush(stdout);
            }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    peer.shutdown(300);
    peer.detachPlugin(&server);
    return 0;
}
