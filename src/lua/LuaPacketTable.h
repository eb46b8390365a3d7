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

// Pushes a new table holding the packet's values under the keys 1..n of
// their signature positions; nil values leave their key absent.
void pushPacketTable(lua_State* L, net::CVariablePacketParser& parser);

} // namespace zu::lua
