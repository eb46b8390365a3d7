// CReliabilityLayer: one connection's reliability over datagrams: what it
// sends and what it has received. It has no socket and no clock of its own:
// the peer hands it the datagrams that arrive and the time, and sends what
// update() produces.
//
// Sending: messages wait in four priority queues (immediate first) and are
// packed into datagrams of the connection's MTU; a message too large for one
// frame is cut into split parts, and split unreliable messages travel
// reliably. Every data datagram is acknowledged by the receiver; a datagram
// acknowledged gives a round-trip sample, one reported missing (NAK) or not
// acknowledged within the retransmission time-out has its reliable frames
// sent again, and so has one left out of an acknowledgement of three later
// ones (its own acknowledgement was lost, most likely). A congestion window
// (slow start, then one MTU per round trip, cut to 0.7 on a reported loss
// and halved on a time-out, at most once per round trip) limits the bytes in
// flight.
//
// Receiving: reliable frames pass a duplicate filter on their message index,
// split parts are reassembled, ordered frames wait for their predecessors on
// their channel and sequenced frames older than one already delivered are
// dropped. Whatever a remote peer sends, memory stays bounded: reassemblies,
// frames waiting for their order and the duplicate filter have limits, and a
// connection that breaks one is reported so the peer can close it. An
// incomplete reassembly is dropped after the split time-out.
#pragma once

#include "net/rudp/CRangeList.h"
#include "net/rudp/DatagramCodec.h"
#include "net/rudp/RudpProtocol.h"

#include <bitset>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kelvo::net::rudp
{

struct SReceiptEvent
{
    uint32_t receipt;
    bool acked;
};

class CReliabilityLayer
{
  public:
    using Sink = std::function<void(const uint8_t* data, size_t size)>;
    using Message = std::vector<uint8_t>;

    // The largest message send() accepts, and the most bytes a connection's
    // reassemblies and waiting frames may hold together.
    static constexpr size_t MAX_MESSAGE_SIZE = 32u << 20;
    static constexpr size_t MAX_HELD_BYTES = 64u << 20;

    explicit CReliabilityLayer(uint16_t mtu);

    uint16_t mtu() const { return m_mtu; }
    // Queues one message; false when it is empty, too large or names a
    // channel or reliability that does not exist. A receipt is reported
    // through update() for reliabilities 5 to 7.
    bool send(const uint8_t* data, size_t size, EPriority priority, uint8_t reliability,
              uint8_t channel, uint32_t receipt);
    // One connected datagram from the remote side. Appends the messages it
    // completes, in the order they are to be delivered. False when the
    // datagram is malformed (it is ignored) or the remote broke a limit
    // (violated() is then true).
    bool receive(const uint8_t* data, size_t size, RakTime now, std::vector<Message>& delivered);
    // Sends what is due now through the sink: acknowledgements first, then
    // frames to resend, then queued messages as the window allows. Appends
    // receipts that were decided.
    void update(RakTime now, const Sink& sink, std::vector<SReceiptEvent>& receipts);

    // The remote side broke a limit; the connection should be closed.
    bool violated() const { return m_violated; }
    // Something is queued, in flight or waiting for an acknowledgement.
    bool busy() const;
    // Acknowledgements wait to be sent.
    bool hasAcknowledgements() const { return !m_acks.empty() || !m_naks.empty(); }
    // The time update() next has something to do (resends and window), at
    // least now.
    RakTime nextUpdate(RakTime now) const;
    // The smoothed round trip in milliseconds, -1 before the first sample.
    double roundTrip() const { return m_haveRtt ? m_srtt : -1.0; }
    size_t congestionWindow() const { return m_cwnd; }
    size_t queuedMessages() const;
    uint64_t resentFrames() const { return m_resent; }
    void setSplitTimeout(RakTime ms) { m_splitTimeout = ms; }

  private:
    struct SOutgoing
    {
        SFrameHeader header;
        std::shared_ptr<const Message> data;
        size_t offset = 0;
        size_t size = 0;
        uint32_t receipt = 0;
        bool indexed = false;
    };
    struct SSentDatagram
    {
        uint32_t wire = 0;
        RakTime sentAt = 0;
        size_t bytes = 0;
        std::vector<SOutgoing> reliable;
        std::vector<uint32_t> unreliableReceipts;
    };
    struct SAssembly
    {
        uint32_t count = 0;
        SFrameHeader header;
        std::map<uint32_t, Message> parts;
        size_t bytes = 0;
        RakTime lastArrival = 0;
    };
    struct SHeld
    {
        bool ordered = false;
        uint32_t sequencingIndex = 0;
        size_t bytes = 0;
        Message data;
    };
    struct SChannel
    {
        // Ordered messages are delivered in this order; held ones wait, keyed
        // by their extended ordering index.
        uint32_t expected = 0;
        uint64_t expectedExt = 0;
        std::multimap<uint64_t, SHeld> held;
        // Sequenced messages count within one ordering index.
        bool sequencedStarted = false;
        uint32_t sequencedFor = 0;
        uint32_t nextSequenced = 0;
        // Sender side.
        uint32_t orderedWrite = 0;
        uint32_t sequencedWrite = 0;
    };

    size_t maxDatagram() const { return size_t(m_mtu) - UDP_HEADER_SIZE; }
    void handleAck(const std::vector<SRange>& ranges, RakTime now,
                   std::vector<SReceiptEvent>& receipts);
    void handleNak(const std::vector<SRange>& ranges, RakTime now,
                   std::vector<SReceiptEvent>& receipts);
    // The in-flight datagrams whose wire numbers fall in the range.
    template <class Visit> void forRange(const SRange& range, Visit visit);
    enum ELossKind
    {
        ELK_REPORTED,
        ELK_TIMED_OUT,
        ELK_UNCERTAIN
    };
    // Sends the datagram's reliable frames again; a reported loss halves the
    // window, a time-out shrinks it to two datagrams, an uncertain one (its
    // acknowledgement lost, most likely) leaves it.
    void lost(uint64_t key, SSentDatagram& datagram, ELossKind kind,
              std::vector<SReceiptEvent>& receipts);
    void frameAcked(const SOutgoing& frame, std::vector<SReceiptEvent>& receipts);
    void sendAcknowledgements(const Sink& sink);
    void sendData(RakTime now, const Sink& sink);
    // The next frame to send (resends first, then by priority), or null.
    SOutgoing* peek();
    void pop();
    // Records the datagram for acknowledgement; false when it was seen before.
    bool onDataDatagram(uint32_t sequence);
    bool acceptReliable(uint32_t index);
    void handleFrame(const SFrameView& frame, RakTime now, std::vector<Message>& delivered);
    void order(const SFrameHeader& header, Message&& data, std::vector<Message>& delivered);
    void releaseHeld(SChannel& channel, std::vector<Message>& delivered);
    void deliverSequenced(SChannel& channel, uint32_t sequencingIndex, Message&& data,
                          std::vector<Message>& delivered);
    void violate() { m_violated = true; }
    double rto() const;

    uint16_t m_mtu;
    bool m_violated = false;

    // Sending.
    std::deque<SOutgoing> m_queues[NUMBER_OF_PRIORITIES];
    std::deque<SOutgoing> m_resendQueue;
    std::map<uint64_t, SSentDatagram> m_inFlight;
    uint64_t m_nextDatagram = 0;
    uint32_t m_nextReliable = 0;
    uint16_t m_nextSplitId = 0;
    std::unordered_map<uint32_t, uint32_t> m_receiptParts;
    size_t m_bytesInFlight = 0;
    size_t m_cwnd;
    size_t m_ssthresh;
    uint64_t m_recoveryUntil = 0;
    bool m_haveRtt = false;
    double m_srtt = 0;
    double m_rttvar = 0;
    unsigned m_backoff = 1;
    uint64_t m_resent = 0;

    std::vector<SReceiptEvent> m_events;

    // Receiving.
    static constexpr uint32_t SEEN_WINDOW = 8192;
    CRangeList m_acks;
    CRangeList m_naks;
    bool m_anyDatagram = false;
    uint32_t m_highest = 0;
    std::bitset<SEEN_WINDOW> m_seen;
    uint32_t m_reliableBase = 0;
    std::unordered_set<uint32_t> m_reliableAhead;
    std::map<uint16_t, SAssembly> m_assemblies;
    size_t m_heldBytes = 0;
    size_t m_heldCount = 0;
    RakTime m_splitTimeout = 30000;
    SChannel m_channels[ORDERING_CHANNELS];
};

} // namespace kelvo::net::rudp
