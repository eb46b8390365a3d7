// The kelvo table: window, input state, timing, folders, the built-in network
// session and printing, for scripts.
#pragma once

struct lua_State;

namespace pellora::lua
{

void registerKelvoTable(lua_State* L);

} // namespace pellora::lua
