// SSessionParameters: what a session layer hands a network device to host or
// join a game.
#pragma once

#include "core/CString.h"

#include <cstdint>

namespace zu::net
{

struct SSessionParameters
{
    core::CString playerName;
    // Dotted IPv4 text or a host name (looked up as IPv4 only).
    core::CString hostAddress;
    int32_t port = 0;
    int32_t maxConnections = 1;
    core::CString serverName;
    // Host and client must run the same game: the host refuses other versions.
    core::CString gameVersion;
};

} // namespace zu::net
