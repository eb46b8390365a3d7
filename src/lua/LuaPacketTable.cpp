#include "lua/LuaPacketTable.h"

#include "core/Output.h"
#include "lua/luaCpp/LuaHelpers.h"
#include "net/CVariablePacketBuilder.h"
#include "net/CVariablePacketParser.h"
#include "net/IPacketValueVisitor.h"

#include <string>

namespace zu::lua
{
namespace
{

const char* skippedTypeName(int type)
{
    switch (type)
    {
    case LUA_TLIGHTUSERDATA:
        return "LUA_TLIGHTUSERDATA";
    case LUA_TTABLE:
        return "LUA_TTABLE";
    case LUA_TFUNCTION:
        return "LUA_TFUNCTION";
    case LUA_TUSERDATA:
        return "LUA_TUSERDATA";
    case LUA_TTHREAD:
        return "LUA_TTHREAD";
    default:
        return "LUA_TNONE";
    }
}

// Sets each value into the table on top of the stack.
class CTableFiller : public net::IPacketValueVisitor
{
  public:
    explicit CTableFiller(lua_State* L) : L(L) {}
    void onBoolean(int index, bool value) override
    {
        lua_pushboolean(L, value);
        lua_rawseti(L, -2, index);
    }
    void onInteger(int index, int32_t value) override
    {
        lua_pushinteger(L, value);
        lua_rawseti(L, -2, index);
    }
    void onFloat(int index, float value) override
    {
        lua_pushnumber(L, value);
        lua_rawseti(L, -2, index);
    }
    void onString(int index, const core::CString& value) override
    {
        pushText(L, value);
        lua_rawseti(L, -2, index);
    }
    void onNil(int) override {}

  private:
    lua_State* L;
};

} // namespace

bool writePacketTable(lua_State* L, int index, int16_t type, net::CVariablePacketBuilder& builder)
{
    if (index < 0 && index > LUA_REGISTRYINDEX) index = lua_gettop(L) + index + 1;
    builder.beginPacket(type);
    if (!lua_istable(L, index))
    {
        builder.appendString("");
        return builder.finish();
    }

    std::string signature;
    lua_pushnil(L);
    while (lua_next(L, index))
    {
        int valueType = lua_type(L, -1);
        switch (valueType)
        {
        case LUA_TNIL:
            signature += 'n';
            break;
        case LUA_TBOOLEAN:
            signature += 'b';
            break;
        case LUA_TNUMBER:
            signature += net::CVariablePacketBuilder::numberSignature(lua_tonumber(L, -1));
            break;
        case LUA_TSTRING:
            signature += 's';
            break;
        default:
            core::zuPrint("%s\n", skippedTypeName(valueType));
        }
        lua_pop(L, 1);
    }
    builder.appendString(signature);

    lua_pushnil(L);
    while (lua_next(L, index))
    {
        switch (lua_type(L, -1))
        {
        case LUA_TBOOLEAN:
            builder.appendBoolean(lua_toboolean(L, -1) != 0);
            break;
        case LUA_TNUMBER:
            builder.appendNumber(lua_tonumber(L, -1));
            break;
        case LUA_TSTRING:
            builder.appendString(toCString(L, -1));
            break;
        default:
            break;
        }
        lua_pop(L, 1);
    }
    return builder.finish();
}

bool writePacketArgument(const CLuaArgs& args, int n, int64_t packetId, bool send,
                         net::CVariablePacketBuilder& builder)
{
    if (!args.isTable(n)) args.typeError(n, "table");
    return send &&
           writePacketTable(args.state(), args.index(n), int16_t(uint16_t(packetId)), builder);
}

net::CVariablePacketBuilder& sharedPacketBuilder()
{
    static net::CVariablePacketBuilder builder;
    return builder;
}

void pushPacketTable(lua_State* L, net::CVariablePacketParser& parser)
{
    lua_newtable(L);
    CTableFiller filler(L);
    parser.readValues(filler);
}

} // namespace zu::lua
