#include "lua/CLuaXMLLibrary.h"

#include "io/IXMLReader.h"
#include "lua/CLuaXMLReader.h"
#include "lua/CLuaXMLWriter.h"
#include "lua/luaCpp/LuaClassBinder.h"

namespace zu::lua
{

void CLuaXMLLibrary::install(lua_State* L)
{
    LuaClassBinder<CLuaXMLReader>::install(L);
    LuaClassBinder<CLuaXMLWriter>::install(L);

    const struct
    {
        const char* name;
        int type;
    } types[] = {
        {"NONE", io::EXN_NONE}, {"ELEMENT", io::EXN_ELEMENT}, {"ELEMENT_END", io::EXN_ELEMENT_END},
        {"TEXT", io::EXN_TEXT}, {"COMMENT", io::EXN_COMMENT}, {"CDATA", io::EXN_CDATA},
    };
    lua_getglobal(L, CLuaXMLReader::className);
    for (const auto& type : types)
    {
        lua_pushinteger(L, type.type);
        lua_setfield(L, -2, type.name);
    }
    lua_pop(L, 1);
}

} // namespace zu::lua
