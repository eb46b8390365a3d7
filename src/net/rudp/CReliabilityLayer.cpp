#include "net/rudp/CReliabilityLayer.h"

#include <algorithm>
#include <cmath>

namespace kelvo::net::rudp
{
namespace
{

constexpr double INITIAL_RTO = 500;
constexpr double MIN_RTO = 10;
constexpr double MAX_RTO = 3000;
// Slack for the remote side's acknowledgement, which waits for its next pass.
constexpr double ACK_SLACK = 5;
constexpr unsigned MAX_BACKOFF = 16;
constexpr size_t INITIAL_WINDOW_DATAGRAMS = 16;
constexpr size_t MAX_WINDOW_DATAGRAMS = 4096;
// A remote side's reliable frames ahead of the oldest missing one, and how
// far ahead one may be.
constexpr size_t MAX_RELIABLE_AHEAD = 1u << 16;
constexpr uint32_t MAX_RELIABLE_DISTANCE = 1u << 20;
constexpr size_t MAX_ASSEMBLIES = 64;
constexpr size_t MAX_HELD_COUNT = 1u << 16;
// Gaps in the datagram numbers larger than this are not reported missing.
constexpr uint32_t MAX_NAK_GAP = 1024;
// A datagram this many older than one acknowledged, neither acknowledged nor
// reported missing, most likely had its acknowledgement lost.
constexpr uint64_t ACK_GAP = 3;
constexpr uint32_t HALF = 0x800000;

} // namespace

CReliabilityLayer::CReliabilityLayer(uint16_t mtu)
    : m_mtu(mtu < MINIMUM_MTU   ? MINIMUM_MTU
            : mtu > MAXIMUM_MTU ? MAXIMUM_MTU
                                : mtu),
      m_cwnd(INITIAL_WINDOW_DATAGRAMS * maxDatagram()),
      m_ssthresh(MAX_WINDOW_DATAGRAMS * maxDatagram())
{
}

bool CReliabilityLayer::send(const uint8_t* data, size_t size, EPriority priority,
                             uint8_t reliability, uint8_t channel, uint32_t receipt)
{
    if (size == 0 || size > MAX_MESSAGE_SIZE || channel >= ORDERING_CHANNELS || reliability > 7)
        return false;
    if (priority >= NUMBER_OF_PRIORITIES) priority = LOW_PRIORITY;
    SFrameHeader h;
    h.reliability = wireReliability(reliability);
    const size_t room = maxDatagram() - DATAGRAM_HEADER_SIZE;
    const bool split = size > room - frameHeaderSize(h);
    if (split && h.reliability == UNRELIABLE)
        h.reliability = RELIABLE;
    else if (split && h.reliability == UNRELIABLE_SEQUENCED)
        h.reliability = RELIABLE_SEQUENCED;
    SChannel& ch = m_channels[channel];
    if (isOrdered(h.reliability))
    {
        h.orderingIndex = ch.orderedWrite;
        ch.orderedWrite = seqAdd(ch.orderedWrite, 1);
        h.orderingChannel = channel;
    }
    else if (isSequenced(h.reliability))
    {
        h.orderingIndex = ch.orderedWrite;
        h.sequencingIndex = ch.sequencedWrite;
        ch.sequencedWrite = seqAdd(ch.sequencedWrite, 1);
        h.orderingChannel = channel;
    }
    auto whole = std::make_shared<const Message>(data, data + size);
    const uint32_t tracked = wantsReceipt(reliability) ? receipt : 0;
    std::deque<SOutgoing>& queue = m_queues[priority];
    if (!split)
    {
        SOutgoing out;
        out.header = h;
        out.data = whole;
        out.size = size;
        out.receipt = tracked;
        queue.push_back(std::move(out));
        if (tracked && isReliable(h.reliability)) m_receiptParts[tracked] = 1;
        return true;
    }
    h.split = true;
    const size_t part = room - frameHeaderSize(h);
    const uint32_t count = uint32_t((size + part - 1) / part);
    h.splitCount = count;
    h.splitId = m_nextSplitId++;
    for (uint32_t i = 0; i < count; ++i)
    {
        SOutgoing out;
        out.header = h;
        out.header.splitIndex = i;
        out.data = whole;
        out.offset = size_t(i) * part;
        out.size = std::min(part, size - out.offset);
        out.receipt = tracked;
        queue.push_back(std::move(out));
    }
    if (tracked) m_receiptParts[tracked] = count;
    return true;
}

bool CReliabilityLayer::receive(const uint8_t* data, size_t size, RakTime now,
                                std::vector<Message>& delivered)
{
    SDatagramView view;
    if (!parseDatagram(data, size, view)) return false;
    if (view.kind == DK_ACK)
        handleAck(view.ranges, now, m_events);
    else if (view.kind == DK_NAK)
        handleNak(view.ranges, now, m_events);
    else if (onDataDatagram(view.sequence))
        for (const SFrameView& frame : view.frames)
        {
            handleFrame(frame, now, delivered);
            if (m_violated) break;
        }
    return !m_violated;
}

void CReliabilityLayer::update(RakTime now, const Sink& sink, std::vector<SReceiptEvent>& receipts)
{
    receipts.insert(receipts.end(), m_events.begin(), m_events.end());
    m_events.clear();
    sendAcknowledgements(sink);
    const double timeout = rto();
    bool timedOut = false;
    while (!m_inFlight.empty())
    {
        auto it = m_inFlight.begin();
        if (double(now - it->second.sentAt) < timeout) break;
        lost(it->first, it->second, ELK_TIMED_OUT, receipts);
        m_inFlight.erase(it);
        timedOut = true;
    }
    // Each time-out without an acknowledgement since doubles the next one.
    if (timedOut) m_backoff = std::min(MAX_BACKOFF, m_backoff * 2);
    sendData(now, sink);
    for (auto it = m_assemblies.begin(); it != m_assemblies.end();)
    {
        if (now - it->second.lastArrival > m_splitTimeout)
        {
            m_heldBytes -= it->second.bytes;
            it = m_assemblies.erase(it);
        }
        else
            ++it;
    }
}

bool CReliabilityLayer::busy() const
{
    if (!m_inFlight.empty() || !m_resendQueue.empty() || !m_receiptParts.empty()) return true;
    for (const auto& q : m_queues)
        if (!q.empty()) return true;
    return false;
}

size_t CReliabilityLayer::queuedMessages() const
{
    size_t n = m_resendQueue.size();
    for (const auto& q : m_queues)
        n += q.size();
    return n;
}

RakTime CReliabilityLayer::nextUpdate(RakTime now) const
{
    if (hasAcknowledgements() || !m_events.empty()) return now;
    const bool waiting = !m_resendQueue.empty() || queuedMessages() > 0;
    const bool windowOpen = m_inFlight.empty() || m_bytesInFlight + maxDatagram() <= m_cwnd;
    if (waiting && windowOpen) return now;
    RakTime next = now + 1000;
    if (!m_inFlight.empty())
    {
        const RakTime due = m_inFlight.begin()->second.sentAt + RakTime(std::ceil(rto()));
        next = std::min(next, std::max(due, now));
    }
    for (const auto& a : m_assemblies)
        next = std::min(next, std::max(now, a.second.lastArrival + m_splitTimeout + 1));
    return next;
}

double CReliabilityLayer::rto() const
{
    double base = m_haveRtt ? m_srtt + 4 * m_rttvar + ACK_SLACK : INITIAL_RTO;
    base = std::max(MIN_RTO, std::min(MAX_RTO, base));
    return std::min(MAX_RTO, base * m_backoff);
}

template <class Visit> void CReliabilityLayer::forRange(const SRange& range, Visit visit)
{
    // Wire numbers are the low 24 bits of the datagram's count; the ones in
    // flight are all within 2^24 of the next.
    const uint32_t nextWire = uint32_t(m_nextDatagram) & SEQUENCE_MASK;
    const auto extended = [&](uint32_t wire)
    { return m_nextDatagram - seqDistance(wire, nextWire); };
    const uint64_t first = extended(range.min);
    uint64_t last = extended(range.max);
    if (first > last) last = m_nextDatagram - 1;
    for (auto it = m_inFlight.lower_bound(first); it != m_inFlight.end() && it->first <= last;)
    {
        visit(it->first, it->second);
        it = m_inFlight.erase(it);
    }
}

void CReliabilityLayer::handleAck(const std::vector<SRange>& ranges, RakTime now,
                                  std::vector<SReceiptEvent>& receipts)
{
    uint64_t newest = 0;
    bool any = false;
    for (const SRange& range : ranges)
        forRange(range,
                 [&](uint64_t key, SSentDatagram& d)
                 {
                     newest = std::max(newest, key);
                     any = true;
                     const double sample = double(now - d.sentAt);
                     if (!m_haveRtt)
                     {
                         m_srtt = sample;
                         m_rttvar = sample / 2;
                         m_haveRtt = true;
                     }
                     else
                     {
                         m_rttvar = 0.75 * m_rttvar + 0.25 * std::fabs(m_srtt - sample);
                         m_srtt = 0.875 * m_srtt + 0.125 * sample;
                     }
                     m_backoff = 1;
                     for (const SOutgoing& f : d.reliable)
                         frameAcked(f, receipts);
                     for (uint32_t r : d.unreliableReceipts)
                         receipts.push_back({r, true});
                     m_bytesInFlight -= d.bytes;
                     if (m_cwnd < m_ssthresh)
                         m_cwnd += d.bytes;
                     else
                         m_cwnd += std::max<size_t>(1, maxDatagram() * d.bytes / m_cwnd);
                     m_cwnd = std::min(m_cwnd, MAX_WINDOW_DATAGRAMS * maxDatagram());
                 });
    // Missing datagrams are reported before acknowledgements, so older ones
    // still in flight were received and their acknowledgement was lost (or
    // the report of their loss was): send their frames again, without taking
    // it for congestion.
    while (any && !m_inFlight.empty() && m_inFlight.begin()->first + ACK_GAP < newest)
    {
        auto it = m_inFlight.begin();
        lost(it->first, it->second, ELK_UNCERTAIN, receipts);
        m_inFlight.erase(it);
    }
}

void CReliabilityLayer::handleNak(const std::vector<SRange>& ranges, RakTime now,
                                  std::vector<SReceiptEvent>& receipts)
{
    (void)now;
    for (const SRange& range : ranges)
        forRange(range,
                 [&](uint64_t key, SSentDatagram& d) { lost(key, d, ELK_REPORTED, receipts); });
}

void CReliabilityLayer::lost(uint64_t key, SSentDatagram& d, ELossKind kind,
                             std::vector<SReceiptEvent>& receipts)
{
    m_bytesInFlight -= d.bytes;
    for (SOutgoing& f : d.reliable)
    {
        m_resendQueue.push_back(std::move(f));
        ++m_resent;
    }
    for (uint32_t r : d.unreliableReceipts)
        receipts.push_back({r, false});
    // One reduction per window: losses of datagrams sent before the last
    // reduction belong to the same congestion event.
    if (kind != ELK_UNCERTAIN && key >= m_recoveryUntil)
    {
        m_ssthresh = std::max(size_t(double(m_cwnd) * (kind == ELK_TIMED_OUT ? 0.5 : 0.7)),
                              2 * maxDatagram());
        m_cwnd = m_ssthresh;
        m_recoveryUntil = m_nextDatagram;
    }
}

void CReliabilityLayer::frameAcked(const SOutgoing& f, std::vector<SReceiptEvent>& receipts)
{
    if (!f.receipt) return;
    auto it = m_receiptParts.find(f.receipt);
    if (it != m_receiptParts.end() && --it->second == 0)
    {
        receipts.push_back({f.receipt, true});
        m_receiptParts.erase(it);
    }
}

void CReliabilityLayer::sendAcknowledgements(const Sink& sink)
{
    // NAKs first: the sender takes datagrams missing from an acknowledgement
    // and not reported before it for ones whose acknowledgement was lost.
    std::vector<uint8_t> out;
    while (!m_naks.empty())
    {
        out.clear();
        out.push_back(DATAGRAM_VALID | DATAGRAM_NAK);
        m_naks.write(out, maxDatagram() - 1);
        sink(out.data(), out.size());
    }
    while (!m_acks.empty())
    {
        out.clear();
        out.push_back(DATAGRAM_VALID | DATAGRAM_ACK);
        m_acks.write(out, maxDatagram() - 1);
        sink(out.data(), out.size());
    }
}

CReliabilityLayer::SOutgoing* CReliabilityLayer::peek()
{
    if (!m_resendQueue.empty()) return &m_resendQueue.front();
    for (auto& q : m_queues)
        if (!q.empty()) return &q.front();
    return nullptr;
}

void CReliabilityLayer::pop()
{
    if (!m_resendQueue.empty())
    {
        m_resendQueue.pop_front();
        return;
    }
    for (auto& q : m_queues)
        if (!q.empty())
        {
            q.pop_front();
            return;
        }
}

void CReliabilityLayer::sendData(RakTime now, const Sink& sink)
{
    std::vector<uint8_t> out;
    while (peek())
    {
        if (!m_inFlight.empty() && m_bytesInFlight + maxDatagram() > m_cwnd) break;
        out.clear();
        const uint32_t wire = uint32_t(m_nextDatagram) & SEQUENCE_MASK;
        writeDataHeader(out, wire, DATAGRAM_NEEDS_B_AND_AS);
        SSentDatagram record;
        while (SOutgoing* f = peek())
        {
            if (out.size() > DATAGRAM_HEADER_SIZE &&
                out.size() + frameHeaderSize(f->header) + f->size > maxDatagram())
                break;
            SOutgoing frame = std::move(*f);
            pop();
            if (isReliable(frame.header.reliability) && !frame.indexed)
            {
                frame.header.reliableIndex = m_nextReliable;
                m_nextReliable = seqAdd(m_nextReliable, 1);
                frame.indexed = true;
            }
            writeFrame(out, frame.header, frame.data->data() + frame.offset, frame.size);
            if (isReliable(frame.header.reliability))
                record.reliable.push_back(std::move(frame));
            else if (frame.receipt)
                record.unreliableReceipts.push_back(frame.receipt);
        }
        sink(out.data(), out.size());
        record.wire = wire;
        record.sentAt = now;
        record.bytes = out.size();
        m_bytesInFlight += record.bytes;
        m_inFlight.emplace(m_nextDatagram++, std::move(record));
    }
}

bool CReliabilityLayer::onDataDatagram(uint32_t sequence)
{
    m_acks.insert(sequence);
    const auto bit = [&](uint32_t s) { return m_seen[s & (SEEN_WINDOW - 1)]; };
    if (!m_anyDatagram)
    {
        m_anyDatagram = true;
        m_highest = sequence;
        m_seen.reset();
        m_seen[sequence & (SEEN_WINDOW - 1)] = true;
        return true;
    }
    const uint32_t ahead = seqDistance(m_highest, sequence);
    if (ahead != 0 && ahead < HALF)
    {
        if (ahead >= SEEN_WINDOW)
            m_seen.reset();
        else
            for (uint32_t k = 1; k <= ahead; ++k)
                m_seen[seqAdd(m_highest, k) & (SEEN_WINDOW - 1)] = false;
        if (ahead > 1 && ahead <= MAX_NAK_GAP)
            for (uint32_t k = 1; k < ahead; ++k)
                m_naks.insert(seqAdd(m_highest, k));
        m_highest = sequence;
        m_seen[sequence & (SEEN_WINDOW - 1)] = true;
        return true;
    }
    if (seqDistance(sequence, m_highest) >= SEEN_WINDOW || bit(sequence)) return false;
    m_seen[sequence & (SEEN_WINDOW - 1)] = true;
    return true;
}

bool CReliabilityLayer::acceptReliable(uint32_t index)
{
    const uint32_t d = seqDistance(m_reliableBase, index);
    if (d >= HALF) return false;
    if (d >= MAX_RELIABLE_DISTANCE)
    {
        violate();
        return false;
    }
    if (d == 0)
    {
        m_reliableBase = seqAdd(m_reliableBase, 1);
        while (m_reliableAhead.erase(m_reliableBase))
            m_reliableBase = seqAdd(m_reliableBase, 1);
        return true;
    }
    if (m_reliableAhead.count(index)) return false;
    if (m_reliableAhead.size() >= MAX_RELIABLE_AHEAD)
    {
        violate();
        return false;
    }
    m_reliableAhead.insert(index);
    return true;
}

void CReliabilityLayer::handleFrame(const SFrameView& frame, RakTime now,
                                    std::vector<Message>& delivered)
{
    const SFrameHeader& h = frame.header;
    if (isReliable(h.reliability) && !acceptReliable(h.reliableIndex)) return;
    Message data(frame.payload, frame.payload + frame.size);
    if (!h.split)
    {
        order(h, std::move(data), delivered);
        return;
    }
    auto it = m_assemblies.find(h.splitId);
    if (it == m_assemblies.end())
    {
        if (m_assemblies.size() >= MAX_ASSEMBLIES)
        {
            violate();
            return;
        }
        it = m_assemblies.emplace(h.splitId, SAssembly()).first;
        it->second.count = h.splitCount;
    }
    SAssembly& a = it->second;
    if (a.count != h.splitCount)
    {
        violate();
        return;
    }
    if (a.parts.count(h.splitIndex)) return;
    if (a.bytes + data.size() > MAX_MESSAGE_SIZE || m_heldBytes + data.size() > MAX_HELD_BYTES)
    {
        violate();
        return;
    }
    a.bytes += data.size();
    m_heldBytes += data.size();
    a.lastArrival = now;
    a.parts.emplace(h.splitIndex, std::move(data));
    if (a.parts.size() < a.count) return;
    Message whole;
    whole.reserve(a.bytes);
    for (auto& part : a.parts)
        whole.insert(whole.end(), part.second.begin(), part.second.end());
    m_heldBytes -= a.bytes;
    m_assemblies.erase(it);
    order(h, std::move(whole), delivered);
}

void CReliabilityLayer::order(const SFrameHeader& h, Message&& data,
                              std::vector<Message>& delivered)
{
    if (!hasOrderingFields(h.reliability))
    {
        delivered.push_back(std::move(data));
        return;
    }
    SChannel& ch = m_channels[h.orderingChannel];
    const uint32_t d = seqDistance(ch.expected, h.orderingIndex);
    if (d >= HALF) return; // older than what was delivered: a duplicate, or a stale sequenced frame
    if (d == 0)
    {
        if (isOrdered(h.reliability))
        {
            delivered.push_back(std::move(data));
            ch.expected = seqAdd(ch.expected, 1);
            ++ch.expectedExt;
            releaseHeld(ch, delivered);
        }
        else
            deliverSequenced(ch, h.sequencingIndex, std::move(data), delivered);
        return;
    }
    if (m_heldCount >= MAX_HELD_COUNT || m_heldBytes + data.size() > MAX_HELD_BYTES)
    {
        violate();
        return;
    }
    m_heldBytes += data.size();
    ++m_heldCount;
    SHeld held;
    held.ordered = isOrdered(h.reliability);
    held.sequencingIndex = h.sequencingIndex;
    held.bytes = data.size();
    held.data = std::move(data);
    ch.held.emplace(ch.expectedExt + d, std::move(held));
}

void CReliabilityLayer::releaseHeld(SChannel& ch, std::vector<Message>& delivered)
{
    for (;;)
    {
        auto range = ch.held.equal_range(ch.expectedExt);
        if (range.first == range.second) return;
        // Sequenced messages sent before the ordered one of this index go first.
        for (auto it = range.first; it != range.second; ++it)
            if (!it->second.ordered)
                deliverSequenced(ch, it->second.sequencingIndex, std::move(it->second.data),
                                 delivered);
        auto ordered = std::find_if(range.first, range.second,
                                    [](const auto& entry) { return entry.second.ordered; });
        const bool advance = ordered != range.second;
        if (advance) delivered.push_back(std::move(ordered->second.data));
        for (auto it = range.first; it != range.second;)
        {
            m_heldBytes -= it->second.bytes;
            --m_heldCount;
            it = ch.held.erase(it);
        }
        if (!advance) return;
        ch.expected = seqAdd(ch.expected, 1);
        ++ch.expectedExt;
    }
}

void CReliabilityLayer::deliverSequenced(SChannel& ch, uint32_t sequencingIndex, Message&& data,
                                         std::vector<Message>& delivered)
{
    if (ch.sequencedStarted && ch.sequencedFor == ch.expected &&
        seqDistance(ch.nextSequenced, sequencingIndex) >= HALF)
        return;
    ch.sequencedStarted = true;
    ch.sequencedFor = ch.expected;
    ch.nextSequenced = seqAdd(sequencingIndex, 1);
    delivered.push_back(std::move(data));
}

} // namespace kelvo::net::rudp
