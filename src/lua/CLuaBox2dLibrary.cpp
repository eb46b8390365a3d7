#include "lua/CLuaBox2dLibrary.h"

#include "lua/CLuaPhysics.h"
#include "lua/luaCpp/LuaClassBinder.h"

namespace zu::lua
{

void CLuaBox2dLibrary::install(lua_State* L) { LuaClassBinder<CLuaPhysics>::install(L); }

} // namespace zu::lua
