// Script tables as variable packets and back. The values of a table travel
// in the order the runtime's traversal gives them; the keys do not travel,
// so the receiver numbers the values 1, 2, 3 ... in signature order.
// Booleans, numbers and strings are written; a value of any other type is
// skipped with a line naming its type.
#pragma once

#include <cstdint>

#include <lua.hpp>

namespace zu::net
{
class CVariablePacketBuilder;
class CVariablePacketParser;
} // namespace zu::net

namespace zu::lua
{

// Writes the table at `index` as a whole packet of the type: header,
// signature, values and length. False (with a log line) when it would be
// longer than a packet may be.
bool writePacketTable(lua_State* L, int index, int16_t type, net::CVariablePacketBuilder& builder);

class CLuaArgs;

// The values argument n of a script send: raises the argument error unless
// it is a table; when `send` is true, writes it as a packet whose type is the
// id's low 16 bits. True when a packet was written.
bool writePacketArgument(const CLuaArgs& args, int n, int64_t packetId, bool send,
                         net::CVariablePacketBuilder& builder);

// One builder for every packet the script functions send (main thread only),
// so a send does not allocate.
net::CVariablePacketBuilder& sharedPacketBuilder();

// Pushes a new table holding the packet's values under the keys 1..n of
// their signature positions; nil values leave their key absent.
void pushPacketTable(lua_State* L, net::CVariablePacketParser& parser);

} // namespace zu::lua
