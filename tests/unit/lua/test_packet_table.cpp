// Script tables written as variable packets byte for byte, and packets read
// back into tables.
#include "LuaTestState.h"
#include "core/Output.h"
#include "lua/LuaPacketTable.h"
#include "net/CVariablePacketBuilder.h"
#include "net/CVariablePacketParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

std::string g_printed;
void capturePrint(const char* text)
{
    g_printed += text;
}

std::string hex(const uint8_t* bytes, size_t size)
{
    std::string out;
    char digits[4];
    for (size_t i = 0; i < size; ++i)
    {
        snprintf(digits, sizeof digits, i ? " %02x" : "%02x", bytes[i]);
        out += digits;
    }
    return out;
}

std::vector<uint8_t> unhex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < text.size();)
    {
        if (text[i] == ' ')
        {
            ++i;
            continue;
        }
        bytes.push_back(uint8_t(std::stoi(text.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

// Every value of the table on top of the stack by key, keys 1..8:
// "1=true 2=3 4=ab" (absent keys are left out), then pops it.
std::string describeTop(lua_State* L)
{
    lua_setglobal(L, "packet");
    const char* chunk = "local out = {}\n"
                        "for k = 1, 8 do local v = packet[k]\n"
                        "  if v ~= nil then out[#out + 1] = k .. '=' .. tostring(v) end end\n"
                        "return table.concat(out, ' ')";
    luaL_loadstring(L, chunk);
    lua_pcall(L, 0, 1, 0);
    std::string text = lua_tostring(L, -1);
    lua_pop(L, 1);
    return text;
}

// Evaluates the script expression and leaves its value on the stack.
void push(lua_State* L, const std::string& expression)
{
    ASSERT_EQ(luaL_loadstring(L, ("return " + expression).c_str()), 0) << expression;
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0) << expression;
}

struct SWriteCase
{
    const char* table; // a script expression
    const char* bytes; // the whole packet of type 7
};

} // namespace

TEST(PacketTable, TablesBecomeTheseBytes)
{
    const SWriteCase cases[] = {
        // b i f s: 1 + 4 + 4 + 3 value bytes after the 5 signature bytes.
        {"{true, 3, 2.5, 'ab'}", "07 00 15 00 62 69 66 73 00 01 03 00 00 00 00 00 20 40 61 62 00"},
        {"{}", "07 00 05 00 00"},
        {"{function() end, 5}", "07 00 0a 00 69 00 05 00 00 00"},
        {"{1e10}", "07 00 0a 00 66 00 f9 02 15 50"},
        {"{-2.5}", "07 00 0a 00 66 00 00 00 20 c0"},
        {"{-3.0}", "07 00 0a 00 69 00 fd ff ff ff"},
        {"{2^31}", "07 00 0a 00 66 00 00 00 00 4f"},
        {"{-2^31, 2^31 - 1}", "07 00 0f 00 69 69 00 00 00 00 80 ff ff ff 7f"},
        // Exact as integers, though a float32 would round them.
        {"{16777217}", "07 00 0a 00 69 00 01 00 00 01"},
        {"{1700000000}", "07 00 0a 00 69 00 00 f1 53 65"},
        {"{0.1}", "07 00 0a 00 66 00 cd cc cc 3d"},
        {"{false, true}", "07 00 09 00 62 62 00 00 01"},
        // The string ends at its zero byte; the value after it is not shifted.
        {"{'a\\0b', 7}", "07 00 0d 00 73 69 00 61 00 07 00 00 00"},
        {"{{}, print, coroutine.create(print), 'x'}", "07 00 08 00 73 00 78 00"},
    };
    luatest::CState lua;
    for (const SWriteCase& c : cases)
    {
        push(lua.L, c.table);
        zu::net::CVariablePacketBuilder builder;
        EXPECT_TRUE(zu::lua::writePacketTable(lua.L, -1, 7, builder)) << c.table;
        lua_pop(lua.L, 1);
        EXPECT_EQ(hex(builder.data(), builder.size()), c.bytes) << c.table;
    }
}

TEST(PacketTable, SkippedValuesArePrintedByType)
{
    luatest::CState lua;
    g_printed.clear();
    zu::core::PrintHook old = zu::core::setPrintHook(capturePrint);
    push(lua.L, "{print, {}, 1}");
    zu::net::CVariablePacketBuilder builder;
    zu::lua::writePacketTable(lua.L, -1, 1, builder);
    zu::core::setPrintHook(old);
    EXPECT_EQ(g_printed, "LUA_TFUNCTION\nLUA_TTABLE\n");
}

TEST(PacketTable, TooLongForAPacketIsRefused)
{
    luatest::CState lua;
    push(lua.L, "{string.rep('x', 16378)}");
    zu::net::CVariablePacketBuilder builder;
    // 4 + 2 + 16378 + 1 = 16385 bytes.
    EXPECT_FALSE(zu::lua::writePacketTable(lua.L, -1, 1, builder));
    lua_pop(lua.L, 1);
    push(lua.L, "{string.rep('x', 16377)}");
    EXPECT_TRUE(zu::lua::writePacketTable(lua.L, -1, 1, builder));
    EXPECT_EQ(builder.size(), 16384u);
}

struct SReadCase
{
    const char* bytes;
    const char* values;
    const char* printed;
};

TEST(PacketTable, PacketsBecomeTheseTables)
{
    const SReadCase cases[] = {
        {"07 00 15 00 62 69 66 73 00 01 03 00 00 00 00 00 20 40 61 62 00", "1=true 2=3 3=2.5 4=ab",
         ""},
        {"07 00 05 00 00", "", ""},
        // Two integers in the signature, room for one.
        {"07 00 0b 00 69 69 00 05 00 00 00", "1=5 2=0", ""},
        // Only the byte 1 is true; a missing boolean is false.
        {"07 00 09 00 62 62 62 00 02", "1=false 2=false 3=false", ""},
        // Unknown characters are nil and read nothing.
        {"07 00 10 00 69 78 69 00 01 00 00 00 02 00 00 00", "1=1 3=2",
         "Encountered unparseable packet variable: x\n"},
        {"07 00 06 00 6e 00", "", ""},
        // A string whose terminator lies past the length ends at the packet's end.
        {"07 00 09 00 73 69 00 61 62 63", "1=ab 2=0", ""},
        // A length field larger than the bytes held reads only those.
        {"07 00 ff 00 73 00 61 62", "1=ab", ""},
        // A missing string is empty.
        {"07 00 07 00 73 73 00", "1= 2=", ""},
    };
    luatest::CState lua;
    for (const SReadCase& c : cases)
    {
        std::vector<uint8_t> bytes = unhex(c.bytes);
        g_printed.clear();
        zu::core::PrintHook old = zu::core::setPrintHook(capturePrint);
        zu::net::CVariablePacketParser parser(bytes.data(), bytes.size());
        zu::lua::pushPacketTable(lua.L, parser);
        zu::core::setPrintHook(old);
        EXPECT_EQ(describeTop(lua.L), c.values) << c.bytes;
        EXPECT_EQ(g_printed, c.printed) << c.bytes;
    }
}

TEST(PacketTable, ARoundTripRenumbersTheKeys)
{
    luatest::CState lua;
    push(lua.L, "{x = 'named', [5] = 16777217, [2] = -0.25}");
    zu::net::CVariablePacketBuilder builder;
    ASSERT_TRUE(zu::lua::writePacketTable(lua.L, -1, 3, builder));
    lua_pop(lua.L, 1);
    zu::net::CVariablePacketParser parser(builder.data(), builder.size());
    EXPECT_EQ(parser.getType(), 3);
    zu::lua::pushPacketTable(lua.L, parser);
    std::string values = describeTop(lua.L);
    // Three values under 1..3, in the traversal's order.
    EXPECT_EQ(std::count(values.begin(), values.end(), '='), 3) << values;
    EXPECT_NE(values.find("=named"), std::string::npos) << values;
    EXPECT_NE(values.find("=16777217"), std::string::npos) << values;
    EXPECT_NE(values.find("=-0.25"), std::string::npos) << values;
    EXPECT_EQ(values.find("4="), std::string::npos) << values;
}
