// WChar as scripts see it: one table of cases, each a chunk and its results.
#include "LuaTestState.h"
#include "lua/CLuaWChar.h"
#include "lua/luaCpp/LuaClassBinder.h"

#include <gtest/gtest.h>

using zu::lua::CLuaWChar;
using Binder = zu::lua::LuaClassBinder<CLuaWChar>;

namespace
{

struct Case
{
    const char* what;
    const char* chunk;
    const char* expected;
};

// pushTwice(w): the native object behind w, pushed twice.
int pushTwice(lua_State* L)
{
    CLuaWChar* object = Binder::check(zu::lua::CLuaArgs(L, zu::lua::EAR_STRICT), 1);
    Binder::push(L, object);
    Binder::push(L, object);
    return 2;
}

const char* const kPrelude = "local W = WChar\n"
                             "local function S(...) return W('hello'):sub(...):toString() end\n";

} // namespace

TEST(WChar, TableOfCases)
{
    const Case cases[] = {
        // Construction and append: one blank between arguments, whatever they add.
        {"string, number, WChar", "return W('a', 1, W('b')):toString()", "a 1 b"},
        {"nil still separated", "return W('a', nil, 'c'):toString()", "a  c"},
        {"boolean and table add nothing", "return W(true, {}, 'x', print):toString()", "  x "},
        {"number formatting", "return W(2.5, 1e20, 1/3):toString()", "2.5 1e+20 0.33333333333333"},
        {"no arguments", "return W():toString(), W():length()", ",0"},
        {"new with the colon form", "return W:new('n'):toString()", "n"},
        {"new with the dot form loses its first argument", "return W.new('x', 'y'):toString()",
         "y"},
        {"append", "local w = W('a'); return select('#', w:append('b', 2)), w:toString()",
         "0,ab 2"},
        {"append a foreign userdata", "return W('a'):append(io.stdout)", "error:WChar expected"},
        {"construct from a foreign userdata", "return W('a', io.stdout)", "error:WChar expected"},
        {"method on a non-WChar", "return W.length('x')", "error:WChar expected"},
        {"method without an object", "return W.length()", "error:WChar expected"},
        // Bytes are kept exactly.
        {"length counts bytes", "return W('h\\0\\195\\169'):length()", "4"},
        {"toString keeps zero bytes", "return W('a\\0b'):toString() == 'a\\0b'", "true"},
        // Comparisons.
        {"equals", "return W('ab'):equals(W('ab')), W('ab'):equals(W('ac')), W('a'):equals(W('ab'))",
         "true,false,false"},
        {"equals with other counts", "return W('a'):equals(), W('a'):equals(W('a'), W('a'))",
         "false,false"},
        {"equals with a string", "return W('a'):equals('a')", "error:WChar expected"},
        {"lessThan", "return W('a'):lessThan(W('b')), W('ab'):lessThan(W('a')), "
                     "W('a'):lessThan(W('ab')), W('a'):lessThan(W('a'))",
         "true,false,true,false"},
        {"lessThan compares unsigned bytes", "return W('\\128'):lessThan(W('a')), "
                                             "W('a'):lessThan(W('\\128'))",
         "false,true"},
        {"lessThan with no WChar", "return W('a'):lessThan('b'), W('a'):lessThan()",
         "false,false"},
        // Numbers from text.
        {"toInteger", "return W('12a3'):toInteger(), W('4-5'):toInteger(), W('-12'):toInteger()",
         "123,45,-12"},
        {"toInteger of no digits", "return W(''):toInteger(), W('-'):toInteger(), "
                                   "W('abc'):toInteger()",
         "0,0,0"},
        {"toInteger wraps at 32 bits", "return W('4294967297'):toInteger()", "1"},
        {"toNumber", "return W('-1.5'):toNumber(), W('1.05'):toNumber(), W('7'):toNumber()",
         "-1.5,1.0499999523163,7"},
        {"toNumber of a negative fraction", "return W('-0.25'):toNumber(), W('.5'):toNumber()",
         "-0.25,0.5"},
        {"toNumber with many decimals", "return W('1.' .. ('0'):rep(60) .. '1'):toNumber()", "1"},
        // toLower.
        {"toLower", "return W('AbC-Z@[\\195\\137'):toLower():toString()", "abc-z@[\xC3\x89"},
        {"toLower makes a new object",
         "local w = W('A'); local l = w:toLower(); return rawequal(l, w), w:toString()",
         "false,A"},
        // find.
        {"find", "return W('hello'):find(W('l'))", "3,3"},
        {"find from 4", "return W('hello'):find(W('l'), 4)", "4,4"},
        {"find from 0", "return W('hello'):find(W('l'), 0)", "nil,nil"},
        {"find from below 0", "return W('hello'):find(W('h'), -3)", "nil,nil"},
        {"find a longer text", "return W('hello'):find(W('lo'))", "4,5"},
        {"find a missing text", "return W('hello'):find(W('x'))", "nil,nil"},
        {"find past the end", "local a, b = W('hello'):find(W('o'), 6) "
                              "return a, b, W('hello'):find(W('o'), 1e300)",
         "nil,nil,nil,nil"},
        {"find an empty text", "return W('hello'):find(W(''), 2)", "2,1"},
        {"find an empty text just past the end", "return W('hello'):find(W(''), 6)", "6,5"},
        {"find an empty text further out", "return W('hello'):find(W(''), 7)", "nil,nil"},
        {"find stops the other text at a zero byte", "return W('hello'):find(W('l\\0x'))",
         "3,3"},
        {"find without an argument", "return W('hello'):find()", "nil,nil"},
        {"find with NaN start", "return W('hello'):find(W('h'), 0/0)", "nil,nil"},
        {"find a string", "return W('hello'):find('l')", "error:WChar expected"},
        // sub, one argument.
        {"sub 2", "return S(2)", "ello"},
        {"sub -3", "return S(-3)", "llo"},
        {"sub 0", "return S(0)", ""},
        {"sub 1.9 truncates", "return S(1.9)", "hello"},
        {"sub -5", "return S(-5)", "hello"},
        {"sub 6, just past the end", "return S(6)", ""},
        {"sub 7, start outside", "return S(7)", ""},
        {"sub -6, start before the first byte", "return S(-6)", ""},
        {"sub huge", "return S(1e300), S(-1e300), S(0/0)", ",,"},
        // sub, two arguments: every sign combination.
        {"sub 2,3", "return S(2, 3)", "el"},
        {"sub 1,99 stops at the end", "return S(1, 99)", "hello"},
        {"sub 3,2", "return S(3, 2)", ""},
        {"sub 2,-1", "return S(2, -1)", "ello"},
        {"sub 2,0", "return S(2, 0)", "ello"},
        {"sub 2,-3", "return S(2, -3)", "el"},
        {"sub 4,-4: negative count reaches the end", "return S(4, -4)", "lo"},
        {"sub 7,-1: start outside", "return S(7, -1)", ""},
        {"sub -3,5", "return S(-3, 5)", "llo"},
        {"sub -3,4", "return S(-3, 4)", "ll"},
        {"sub -1,1: negative count reaches the end", "return S(-1, 1)", "o"},
        {"sub -9,3: start before the first byte", "return S(-9, 3)", ""},
        {"sub -3,-2", "return S(-3, -2)", "ll"},
        {"sub -5,-1", "return S(-5, -1)", "hello"},
        {"sub -2,-3", "return S(-2, -3)", ""},
        {"sub 0,0", "return S(0, 0)", ""},
        {"sub -6,-1: start before the first byte", "return S(-6, -1)", ""},
        {"sub with no or three arguments", "return S(), S(1, 2, 3)", ","},
        {"sub with a non-number", "return S('x')", "error:number expected"},
        {"sub of an empty text", "return W(''):sub(1):toString(), W(''):sub(-1, -1):toString()",
         ","},
        // charAt: 0-based, signed bytes.
        {"charAt", "return W('A'):charAt(0), W('\\195'):charAt(0), W('\\128'):charAt(0), "
                   "W('\\127'):charAt(0), W('\\255'):charAt(0)",
         "65,-61,-128,127,-1"},
        {"charAt out of range", "return W('ab'):charAt(-1), W('ab'):charAt(2), "
                                "W('ab'):charAt(1e300), W('ab'):charAt(1)",
         "0,0,0,98"},
        {"charAt without an argument", "return W('ab'):charAt()", "nil"},
        {"charAt with a non-number", "return W('ab'):charAt({})", "error:number expected"},
        // Errors name the method; with the colon form the script's first
        // argument is number 1.
        {"argument error names the method", "local w = W('ab') local c = w:charAt({}) return c",
         "error:bad argument #1 to 'charAt' (number expected, got table)"},
        {"dot call on a string", "local n = W.length('x') return n",
         "error:bad argument #1 to 'length' (WChar expected, got string)"},
        // The binder around it.
        {"tostring form", "return tostring(W('a')):match('^WChar %(0x%x+%)$') ~= nil", "true"},
        {"getmetatable yields the class table", "return getmetatable(W('a')) == W", "true"},
        {"the same object pushed twice",
         "local w = W('a'); local a, b = pushTwice(w); return rawequal(a, b), rawequal(a, w)",
         "true,true"},
    };

    luatest::CState state;
    CLuaWChar::install(state.L);
    lua_register(state.L, "pushTwice", pushTwice);
    for (const Case& c : cases)
    {
        std::string got = state.run(std::string(kPrelude) + c.chunk);
        EXPECT_TRUE(luatest::matches(got, c.expected))
            << c.what << "\n  chunk: " << c.chunk << "\n  got: " << got
            << "\n  expected: " << c.expected;
    }
}
