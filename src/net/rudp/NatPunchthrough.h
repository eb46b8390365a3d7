// NatPunchthrough: the messages between punch-through clients and the
// facilitator they are both connected to.
//
//   client -> facilitator  ID_NAT_PUNCHTHROUGH_REQUEST, target GUID
//   facilitator -> client  ID_NAT_TARGET_NOT_CONNECTED | ID_NAT_ALREADY_IN_PROGRESS, target GUID
//   facilitator -> both    ID_NAT_GET_MOST_RECENT_PORT, 16-bit session
//   both -> facilitator    ID_NAT_GET_MOST_RECENT_PORT, session, 16-bit port
//   facilitator -> both    ID_TIMESTAMP, time to start, ID_NAT_CONNECT_AT_TIME, session,
//                          the other's address, the other's GUID, 1 byte: 1 for the requester
//   both -> each other     out-of-band ID_NAT_CONNECT_AT_TIME, session, 0 (a probe) or 1 (an
//                          answer to a probe), every PROBE_INTERVAL from the start time
//   both -> facilitator    ID_NAT_CLIENT_READY once done (either way)
//   facilitator -> client  ID_NAT_TARGET_UNRESPONSIVE | ID_NAT_CONNECTION_TO_TARGET_LOST, target
//
// A client that gets an answer to its probe has a route both ways and
// reports ID_NAT_PUNCHTHROUGH_SUCCEEDED (the other's address and GUID; byte
// 1 is 1 for the requester); one whose probes all go unanswered reports
// ID_NAT_PUNCHTHROUGH_FAILED.
#pragma once

#include "net/rudp/RudpProtocol.h"

#include <cstdint>

namespace kelvo::net::rudp
{

constexpr uint16_t DEFAULT_FACILITATOR_PORT = 61111;
constexpr RakTime PROBE_INTERVAL = 50;
constexpr unsigned PROBE_COUNT = 20;
// How long the facilitator waits for both ports, and for a client to be done.
constexpr RakTime PORT_WAIT = 5000;
constexpr RakTime PUNCH_WAIT = 10000;

} // namespace kelvo::net::rudp
