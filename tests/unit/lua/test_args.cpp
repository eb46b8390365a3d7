// The argument reader every script library reads through: each rule against
// the values scripts get wrong (missing, nil, wrong type, NaN, huge numbers),
// and errors that name the function the script called.
#include "LuaTestState.h"
#include "lua/luaCpp/CLuaArgs.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <gtest/gtest.h>

#include <string>

using zu::lua::CLuaArgs;
using zu::lua::EArgRule;

namespace
{

template <EArgRule R> int number(lua_State* L)
{
    lua_pushnumber(L, CLuaArgs(L, R).number(1));
    return 1;
}
template <EArgRule R> int numberOr(lua_State* L)
{
    lua_pushnumber(L, CLuaArgs(L, R).number(1, 2.5));
    return 1;
}
template <EArgRule R> int integer(lua_State* L)
{
    lua_pushnumber(L, lua_Number(CLuaArgs(L, R).integer(1)));
    return 1;
}
template <EArgRule R> int int32Or(lua_State* L)
{
    lua_pushnumber(L, CLuaArgs(L, R).int32(1, 7));
    return 1;
}
template <EArgRule R> int percent(lua_State* L)
{
    lua_pushnumber(L, lua_Number(CLuaArgs(L, R).integerIn(1, 0, 100)));
    return 1;
}
template <EArgRule R> int toFloat(lua_State* L)
{
    lua_pushnumber(L, CLuaArgs(L, R).toFloat(1, 1.5f));
    return 1;
}
template <EArgRule R> int textOr(lua_State* L)
{
    zu::lua::pushText(L, CLuaArgs(L, R).text(1, "d"));
    return 1;
}
template <EArgRule R> int flagOr(lua_State* L)
{
    lua_pushboolean(L, CLuaArgs(L, R).flag(1, true));
    return 1;
}
template <EArgRule R> int colour(lua_State* L)
{
    lua_pushnumber(L, CLuaArgs(L, R).colour(1));
    return 1;
}

template <EArgRule R> void install(lua_State* L, const char* table)
{
    static const luaL_Reg functions[] = {
        {"number", number<R>},   {"numberOr", numberOr<R>}, {"integer", integer<R>},
        {"int32Or", int32Or<R>}, {"percent", percent<R>},   {"toFloat", toFloat<R>},
        {"textOr", textOr<R>},   {"flagOr", flagOr<R>},     {"colour", colour<R>},
        {nullptr, nullptr},
    };
    zu::lua::installTable(L, table, functions);
}

struct Case
{
    const char* call;
    const char* expected;
};

} // namespace

TEST(ArgumentReader, EachRuleAgainstMissingNilWrongAndWildValues)
{
    const Case cases[] = {
        // Strict: defaults for missing and nil, errors for wrong types.
        {"strict.int32Or()", "7"},
        {"strict.int32Or(nil)", "7"},
        {"strict.int32Or('abc')",
         "error:bad argument #1 to 'int32Or' (number expected, got string)"},
        {"strict.int32Or('12')", "12"},
        {"strict.int32Or(0/0)", "0"},
        {"strict.int32Or(1e300)", "2147483647"},
        {"strict.int32Or(2^40)", "2147483647"},
        {"strict.int32Or(-2^40)", "-2147483648"},
        {"strict.int32Or(-3.7)", "-3"},
        {"strict.integer(2^40)", "1099511627776"},
        {"strict.integer(1e300)", "9.007199254741e+15"},
        {"strict.integer(-1/0)", "-9.007199254741e+15"},
        {"strict.integer()", "error:bad argument #1 to 'integer' (number expected, got no value)"},
        {"strict.integer(nil)", "error:(number expected, got nil)"},
        {"strict.number({})", "error:(number expected, got table)"},
        {"strict.numberOr(nil)", "2.5"},
        {"strict.percent(250)", "100"},
        {"strict.percent(-2^40)", "0"},
        {"strict.percent()", "error:(number expected, got no value)"},
        {"strict.toFloat(1e300)", "inf"},
        {"strict.toFloat(-1e300)", "-inf"},
        {"strict.toFloat()", "1.5"},
        {"strict.textOr()", "d"},
        {"strict.textOr(nil)", "d"},
        {"strict.textOr(12)", "12"},
        {"strict.textOr({})", "error:bad argument #1 to 'textOr' (string expected, got table)"},
        {"strict.flagOr()", "true"},
        {"strict.flagOr(nil)", "false"},
        {"strict.flagOr(0)", "true"},
        // Lenient: nothing raises; wrong types read as 0 and "".
        {"lenient.int32Or()", "7"},
        {"lenient.int32Or(nil)", "7"},
        {"lenient.int32Or('abc')", "0"},
        {"lenient.int32Or({})", "0"},
        {"lenient.int32Or(0/0)", "0"},
        {"lenient.int32Or(2^40)", "2147483647"},
        {"lenient.integer()", "0"},
        {"lenient.number(true)", "0"},
        {"lenient.percent('x')", "0"},
        {"lenient.textOr({})", ""},
        {"lenient.textOr(nil)", "d"},
        {"lenient.textOr(false)", ""},
        {"lenient.flagOr(nil)", "false"},
        // Plain: only a missing argument takes the default; nil converts.
        {"plain.int32Or()", "7"},
        {"plain.int32Or(nil)", "0"},
        {"plain.numberOr(nil)", "0"},
        {"plain.textOr(nil)", ""},
        {"plain.textOr()", "d"},
        {"plain.toFloat(nil)", "0"},
        {"plain.int32Or(1e300)", "2147483647"},
        // Colours: white, white with an alpha, or all four channels cut to 8 bits.
        {"plain.colour()", "4294967295"},
        {"plain.colour(128)", "2164260863"},
        {"plain.colour(128, 1, 2)", "2164260863"},
        {"plain.colour(255, 256 + 1, 2, 3)", "4278256131"},
        {"plain.colour(-1, 0/0, 1e300, 'x')", "4278255360"},
    };
    luatest::CState state;
    install<zu::lua::EAR_STRICT>(state.L, "strict");
    install<zu::lua::EAR_LENIENT>(state.L, "lenient");
    install<zu::lua::EAR_PLAIN>(state.L, "plain");
    for (const Case& c : cases)
    {
        std::string got = state.run(std::string("return ") + c.call);
        EXPECT_TRUE(luatest::matches(got, c.expected)) << c.call << "\n  got: " << got;
    }
}

TEST(ArgumentReader, ErrorsNameTheFunctionAndCountLikeTheScript)
{
    luatest::CState state;
    install<zu::lua::EAR_STRICT>(state.L, "strict");
    // Called under another name, or from pcall where the runtime knows no
    // name at all, a function still names itself.
    EXPECT_TRUE(luatest::matches(state.run("local f = strict.textOr return f({})"),
                                 "error:bad argument #1 to 'textOr' (string expected, got table)"));
    // With the colon form the table is the call's object: the runtime's own
    // wording for a bad object.
    EXPECT_TRUE(luatest::matches(state.run("local v = strict:int32Or('x') return v"),
                                 "error:calling 'int32Or' on bad self"));
    EXPECT_TRUE(
        luatest::matches(state.run("return pcall(strict.integer, 'x')"),
                         "false,bad argument #1 to 'integer' (number expected, got string)"));
}
