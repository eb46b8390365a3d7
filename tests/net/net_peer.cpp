// net_peer: one end of a game session, run as its own process: the headless
// runtime device with a network device made by its device manager, driven
// frame by frame like the runtime's main loop. The tests start it against the
// Python peer and against a second net_peer, and read what it prints:
//
//   PORT <port>                          the host listens
//   EVENT <kind> id=<id> length=<n> extra=<x> text=<text>
//   PACKET from=<id> type=<type> length=<n> values=<b:true i:3 f:2.5 s:"ab" n>
//   FLOOD received=<n> inorder=<n>       on packet type 99, the count of type 42
//   ECHO ok <i> | ECHO bad <i>           a joiner's sample came back as sent
//   SAMPLES ok                           every sample came back
//   DONE | TIMEOUT
//
// Usage: net_peer host [options] | net_peer join --port P [options]
//   --port P            port to join, or to host on (0: a random high port)
//   --address A         address to join (default 127.0.0.1)
//   --name N            player name (default "peer")
//   --version V         game version (default "peerGame")
//   --max N             most connections of a host (default 8)
//   --pacing MS,MS      host's start delay and accept interval (default 0,0)
//   --raw               raw mode (joiners only)
//   --echo              send every packet back to its sender
//   --echo-scrambled    the same, scrambled with the sender's key
//   --descramble        descramble every packet before printing it
//   --quiet             count packets instead of printing them
//   --send-samples      (joiner) send the sample packets once connected
//   --send-scrambled    (joiner) send one sample scrambled once connected
//   --until-packets N   end after N packets
//   --until-event KIND  end after an event of that kind
//   --seconds S         end after S seconds at most (default 20)
#include "core/ByteOrder.h"
#include "core/Output.h"
#include "core/Version.h"
#include "net/CSocketNetworkDevice.h"
#include "net/CVariablePacketBuilder.h"
#include "net/CVariablePacketParser.h"
#include "net/IPacketEventReceiver.h"
#include "net/IPacketValueVisitor.h"
#include "net/NetProtocol.h"
#include "net/SSessionParameters.h"
#include "platform/CDeviceHeadless.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace zu::net;
using Bytes = std::vector<uint8_t>;

namespace
{

const char* const kKindNames[] = {"host-started",   "client-connected",    "connected",
                                  "connect-failed", "server-full",         "incorrect-version",
                                  "data",           "client-disconnected", "disconnected"};

struct SOptions
{
    bool host = false;
    int port = 0;
    std::string address = "127.0.0.1";
    std::string name = "peer";
    std::string version = "peerGame";
    int maxConnections = 8;
    unsigned startDelay = 0, acceptInterval = 0;
    bool raw = false, echo = false, echoScrambled = false, descramble = false, quiet = false;
    bool sendSamples = false, sendScrambled = false;
    long untilPackets = -1;
    std::string untilEvent;
    double seconds = 20;
};

void line(const std::string& text)
{
    fputs((text + "\n").c_str(), stdout);
    fflush(stdout);
}

std::string quoted(const zu::core::CString& text)
{
    if (text.size() > 40) return "<" + std::to_string(text.size()) + " bytes>";
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i)
    {
        unsigned char c = text[i];
        char hex[8];
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
            out += char(c);
        else
        {
            snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out + "\"";
}

// The values of a packet as one line: b:true i:3 f:2.5 s:"ab" n
class CValuePrinter : public IPacketValueVisitor
{
  public:
    void onBoolean(int, bool value) override
    {
        add(std::string("b:") + (value ? "true" : "false"));
    }
    void onInteger(int, int32_t value) override { add("i:" + std::to_string(value)); }
    void onFloat(int, float value) override
    {
        char text[32];
        snprintf(text, sizeof text, "f:%.9g", value);
        add(text);
    }
    void onString(int, const zu::core::CString& value) override { add("s:" + quoted(value)); }
    void onNil(int) override { add("n"); }
    std::string text;

  private:
    void add(const std::string& value) { text += (text.empty() ? "" : " ") + value; }
};

// The packets a joiner sends with --send-samples: every kind of value.
std::vector<Bytes> samplePackets()
{
    std::vector<Bytes> samples;
    CVariablePacketBuilder b;
    auto take = [&]
    {
        b.finish();
        samples.emplace_back(b.data(), b.data() + b.size());
    };
    b.beginPacket(1);
    b.appendString("bifs");
    b.appendBoolean(true);
    b.appendInt(3);
    b.appendFloat(2.5f);
    b.appendString("ab");
    take();
    b.beginPacket(2);
    b.appendString("iifns");
    b.appendInt(-2147483647 - 1);
    b.appendInt(2147483647);
    b.appendFloat(-0.25f);
    b.appendString("");
    take();
    b.beginPacket(3);
    b.appendString("sb");
    b.appendString("Zo\xc3\xab \xe2\x82\xac");
    b.appendBoolean(false);
    take();
    b.beginPacket(int16_t(-32768));
    b.appendString("i");
    b.appendNumber(16777217.0);
    take();
    b.beginPacket(4);
    b.appendString("s");
    b.appendString(std::string(16000, 'x'));
    take();
    b.beginPacket(5);
    b.appendString("");
    take();
    return samples;
}

class CPeer : public IPacketEventReceiver
{
  public:
    CPeer(const SOptions& options, INetworkDevice* device) : m_options(options), m_device(device) {}

    void handleNetworkEvent(const zu::event::SEngineEvent& event) override
    {
        const zu::event::SNetworkEvent& n = event.network;
        const char* kind = n.kind >= 0 && n.kind <= 8 ? kKindNames[n.kind] : "unknown";
        line(std::string("EVENT ") + kind + " id=" + std::to_string(n.clientId) +
             " length=" + std::to_string(n.length) + " extra=" + std::to_string(n.extra) +
             " text=" + (n.data ? static_cast<const char*>(n.data) : ""));
        if (n.kind == NEK_CONNECTED) onConnected();
        if (m_options.untilEvent == kind) finished = true;
    }

    void handlePacket(uint8_t* bytes, int32_t length, int32_t clientId) override
    {
        ++m_received;
        if (m_options.raw)
        {
            line("DATA from=" + std::to_string(clientId) + " " +
                 quoted(zu::core::CString(reinterpret_cast<char*>(bytes), size_t(length))));
            return;
        }
        if (m_options.descramble) m_device->descramble(bytes, clientId);
        CVariablePacketParser parser(bytes, size_t(length));
        if (parser.getType() == 42)
        {
            ++m_flood;
            if (parser.readString() == zu::core::CString("i") && parser.readInt() == m_inOrder)
                ++m_inOrder;
        }
        else if (parser.getType() == 99)
            line("FLOOD received=" + std::to_string(m_flood) +
                 " inorder=" + std::to_string(m_inOrder));
        if (!m_options.quiet && parser.getType() != 42)
        {
            CVariablePacketParser values(bytes, size_t(length));
            CValuePrinter printer;
            values.readValues(printer);
            line("PACKET from=" + std::to_string(clientId) +
                 " type=" + std::to_string(parser.getType()) + " length=" + std::to_string(length) +
                 " values=" + printer.text);
        }
        if (m_nextEcho < m_samples.size())
        {
            bool same = Bytes(bytes, bytes + length) == m_samples[m_nextEcho];
            line(std::string(same ? "ECHO ok " : "ECHO bad ") + std::to_string(m_nextEcho));
            m_allEchoesSame = m_allEchoesSame && same;
            if (++m_nextEcho == m_samples.size() && m_allEchoesSame)
            {
                line("SAMPLES ok");
                finished = true;
            }
        }
        if (m_options.echo || m_options.echoScrambled)
        {
            m_device->send(clientId, bytes, length, m_options.echoScrambled ? SEND_SCRAMBLED : 0);
        }
        if (m_options.untilPackets >= 0 && m_received >= m_options.untilPackets) finished = true;
    }

    bool finished = false;

  private:
    void onConnected()
    {
        if (m_options.sendSamples)
        {
            m_samples = samplePackets();
            for (const Bytes& p : m_samples)
                m_device->send(HOST_CLIENT_ID, p.data(), int32_t(p.size()), 0);
        }
        if (m_options.sendScrambled)
        {
            Bytes p = samplePackets()[0];
            m_device->send(HOST_CLIENT_ID, p.data(), int32_t(p.size()), SEND_SCRAMBLED);
        }
    }

    const SOptions& m_options;
    INetworkDevice* m_device;
    long m_received = 0;
    int32_t m_flood = 0, m_inOrder = 0;
    std::vector<Bytes> m_samples;
    size_t m_nextEcho = 0;
    bool m_allEchoesSame = true;
};

bool parse(int argc, char** argv, SOptions& o)
{
    if (argc < 2) return false;
    o.host = !strcmp(argv[1], "host");
    if (!o.host && strcmp(argv[1], "join")) return false;
    for (int i = 2; i < argc; ++i)
    {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if (a == "--port" && more)
            o.port = atoi(argv[++i]);
        else if (a == "--address" && more)
            o.address = argv[++i];
        else if (a == "--name" && more)
            o.name = argv[++i];
        else if (a == "--version" && more)
            o.version = argv[++i];
        else if (a == "--max" && more)
            o.maxConnections = atoi(argv[++i]);
        else if (a == "--pacing" && more &&
                 sscanf(argv[++i], "%u,%u", &o.startDelay, &o.acceptInterval) == 2)
            continue;
        else if (a == "--raw")
            o.raw = true;
        else if (a == "--echo")
            o.echo = true;
        else if (a == "--echo-scrambled")
            o.echoScrambled = true;
        else if (a == "--descramble")
            o.descramble = true;
        else if (a == "--quiet")
            o.quiet = true;
        else if (a == "--send-samples")
            o.sendSamples = true;
        else if (a == "--send-scrambled")
            o.sendScrambled = true;
        else if (a == "--until-packets" && more)
            o.untilPackets = atol(argv[++i]);
        else if (a == "--until-event" && more)
            o.untilEvent = argv[++i];
        else if (a == "--seconds" && more)
            o.seconds = atof(argv[++i]);
        else
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    SOptions options;
    if (!parse(argc, argv, options))
    {
        fprintf(stderr, "usage: net_peer host|join [options] (see the source's header)\n");
        return 2;
    }
    auto* device = new kelvo::CDeviceHeadless(zu::core::ENGINE_VERSION);
    INetworkDevice* net = device->createNetworkDevice("peer", options.raw ? 1 : 0);
    auto* socketDevice = static_cast<kelvo::net::CSocketNetworkDevice*>(net);
    socketDevice->setAcceptPacing(options.startDelay, options.acceptInterval);
    socketDevice->setListenAddress("127.0.0.1");
    CPeer peer(options, net);

    SSessionParameters parameters;
    parameters.playerName = options.name;
    parameters.hostAddress = options.address;
    parameters.maxConnections = options.maxConnections;
    parameters.serverName = options.version;
    parameters.gameVersion = options.version;
    int result = 0;
    if (options.host)
    {
        // A random high port, again while ports are taken.
        std::mt19937 random(std::random_device{}());
        for (int attempt = 0; attempt < 30; ++attempt)
        {
            parameters.port = options.port ? options.port : 20000 + int(random() % 40000);
            if ((result = net->startServer(&peer, parameters)) == 0 || options.port) break;
        }
        if (result == 0) line("PORT " + std::to_string(parameters.port));
    }
    else
    {
        parameters.port = options.port;
        result = net->connect(&peer, parameters);
    }

    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(long(options.seconds * 1000));
    bool timedOut = false;
    // One pass of the runtime's loop: the device pumps, the receiver delivers,
    // the network devices take their turn.
    while (device->run() && !peer.finished)
    {
        peer.dispatch(net);
        device->updateNetworkDevices();
        if (peer.finished) break;
        if (std::chrono::steady_clock::now() > deadline)
        {
            timedOut = true;
            break;
        }
        peer.waitForDelivery(5);
    }
    device->removeNetworkDevice("peer");
    device->drop();
    bool waited = options.untilPackets >= 0 || !options.untilEvent.empty() || options.sendSamples;
    line(timedOut && waited ? "TIMEOUT" : "DONE");
    return timedOut && waited ? 1 : 0;
}
