// The two binders, the script-relative path and the traceback handler.
#include "LuaTestState.h"
#include "lua/luaCpp/LuaClassBinder.h"
#include "lua/luaCpp/LuaHelpers.h"
#include "lua/luaCpp/Lunamatic.h"

#include <gtest/gtest.h>

using zu::lua::CLuaArgs;
using zu::lua::LuaClassBinder;
using zu::lua::Lunamatic;
using zu::lua::SLuaMethod;

namespace
{

// A userdata-bound class that counts its deletions.
class CProbe
{
public:
    static constexpr const char* className = "Probe";
    static constexpr zu::lua::EArgRule argRule = zu::lua::EAR_STRICT;
    static const SLuaMethod<CProbe> methods[];
    static int deleted;

    static CProbe* construct(const CLuaArgs& args) { return new CProbe(args.int32(1, 0)); }
    explicit CProbe(int value) : m_value(value) {}
    virtual ~CProbe() { ++deleted; }

    int value(const CLuaArgs& args)
    {
        lua_pushinteger(args.state(), m_value);
        return 1;
    }

private:
    int m_value;
};
int CProbe::deleted = 0;
const SLuaMethod<CProbe> CProbe::methods[] = {{"value", &CProbe::value}, {nullptr, nullptr}};
using ProbeBinder = LuaClassBinder<CProbe>;

// A table-bound class. The unrelated first base puts the Lunamatic part at
// another address than the object itself, so calls must adjust `this`.
struct SPadding
{
    virtual ~SPadding() = default;
    long padding[3] = {};
};

class CCounter : public SPadding, public Lunamatic<CCounter>
{
public:
    static constexpr zu::lua::EArgRule argRule = zu::lua::EAR_STRICT;
    static const SLuaMethod<CCounter> methods[];
    explicit CCounter(lua_State* L) : Lunamatic(L) {}
    void followTable() { holdTableWeakly(); }

    int add(const CLuaArgs& args)
    {
        m_total += args.int32(1);
        lua_pushinteger(args.state(), m_total);
        return 1;
    }
    int m_total = 0;
};
const SLuaMethod<CCounter> CCounter::methods[] = {{"add", &CCounter::add}, {nullptr, nullptr}};

class COther : public Lunamatic<COther>
{
public:
    static constexpr zu::lua::EArgRule argRule = zu::lua::EAR_STRICT;
    static const SLuaMethod<COther> methods[];
    explicit COther(lua_State* L) : Lunamatic(L) {}
    int name(const CLuaArgs& args)
    {
        lua_pushliteral(args.state(), "other");
        return 1;
    }
};
const SLuaMethod<COther> COther::methods[] = {{"name", &COther::name}, {nullptr, nullptr}};

} // namespace

TEST(LuaClassBinder, ScriptOwnsPushedObjects)
{
    luatest::CState state;
    ProbeBinder::install(state.L);
    CProbe::deleted = 0;

    EXPECT_EQ(state.run("return Probe(7):value(), Probe:new(8):value(), Probe.new(1, 9):value()"),
              "7,8,9");
    EXPECT_TRUE(luatest::matches(state.run("return Probe.value('x')"),
                                 "error:bad argument #1 to 'value' (Probe expected, got string)"));
    state.run("collectgarbage() collectgarbage()");
    EXPECT_EQ(CProbe::deleted, 3);

    // A natively owned object lent to the script survives collection and the
    // closing of the state.
    CProbe lent(5);
    ProbeBinder::push(state.L, &lent);
    ProbeBinder::setDoNotTrash(state.L, -1, true);
    lua_setglobal(state.L, "lent");
    EXPECT_EQ(state.run("return lent:value()"), "5");
    state.run("lent = nil collectgarbage() collectgarbage()");
    state.close();
    EXPECT_EQ(CProbe::deleted, 3);
}

TEST(LuaClassBinder, PushWithoutInstallIsAScriptError)
{
    luatest::CState state;
    lua_pushcfunction(state.L, [](lua_State* L) {
        ProbeBinder::push(L, nullptr); // null is nil, registered or not
        static CProbe probe(1);
        ProbeBinder::push(L, &probe);
        return 2;
    });
    ASSERT_NE(lua_pcall(state.L, 0, 2, 0), 0);
    EXPECT_STREQ(lua_tostring(state.L, -1), "Probe missing metatable");
}

TEST(Lunamatic, MethodsReachTheObjectAndStaleTablesAreHarmless)
{
    luatest::CState state;
    auto* counter = new CCounter(state.L);
    COther other(state.L);
    counter->push();
    lua_setglobal(state.L, "c");
    other.push();
    lua_setglobal(state.L, "o");

    EXPECT_EQ(state.run("return c:add(2), c:add(3)"), "2,5");
    EXPECT_EQ(counter->m_total, 5);
    // Wrong values and another class's table: silently nothing.
    EXPECT_EQ(state.run("return select('#', c.add({})) + select('#', c.add(5)) + "
                        "select('#', c.add({[0] = 1})) + select('#', c.add(o, 1))"),
              "0");
    EXPECT_EQ(state.run("return o:name(), select('#', o.name(c))"), "other,0");

    delete counter;
    EXPECT_EQ(state.run("return select('#', c:add(1)), rawget(c, 0)"), "0,nil");
}

TEST(Lunamatic, AWeaklyHeldTableGoesWithTheScriptsLastReference)
{
    luatest::CState state;
    CCounter kept(state.L), followed(state.L);
    auto* destroyedFirst = new CCounter(state.L);
    followed.followTable();
    destroyedFirst->followTable();
    for (auto [object, name] :
         {std::pair<CCounter*, const char*>{&kept, "k"}, {&followed, "f"}, {destroyedFirst, "d"}})
    {
        object->push();
        lua_setglobal(state.L, name);
    }
    EXPECT_EQ(state.run("return f:add(4), d:add(1)"), "4,1");
    EXPECT_EQ(state.run("collectgarbage() return f:add(1)"), "5") << "held by the script";

    EXPECT_EQ(state.run("k, f = nil, nil collectgarbage() collectgarbage() return 0"), "0");
    EXPECT_TRUE(kept.hasTable()) << "the registry holds it";
    EXPECT_FALSE(followed.hasTable());
    followed.push();
    EXPECT_TRUE(lua_isnil(state.L, -1));
    lua_pop(state.L, 1);

    // Gone before its table: the table only gets silent no-ops.
    EXPECT_TRUE(destroyedFirst->hasTable());
    delete destroyedFirst;
    EXPECT_EQ(state.run("return select('#', d:add(1)), rawget(d, 0)"), "0,nil");
}

TEST(Lunamatic, OwnerOutlivingTheState)
{
    luatest::CState state;
    COther other(state.L);
    other.forgetLuaState();
    state.close();
    EXPECT_EQ(other.getLuaState(), nullptr);
}

namespace
{
int relativePath(lua_State* L)
{
    zu::lua::PathOverrides overrides = {{"special.png", "/elsewhere/special.png"}};
    zu::core::CString path =
        zu::lua::getScriptRelativePath(CLuaArgs(L, zu::lua::EAR_STRICT), 1, overrides);
    lua_pushlstring(L, path.data(), path.size());
    return 1;
}
} // namespace

TEST(ScriptRelativePath, TableOfCases)
{
    struct Case
    {
        const char* chunkName;
        const char* call;
        const char* expected;
    };
    const Case cases[] = {
        {"@/games/one/pellora/main.lua", "local p = rel('img.png') return p", "/games/one/pellora/img.png"},
        {"@C:\\games\\\\one//pellora\\main.lua", "local p = rel('a/b.png') return p",
         "C:/games/one/pellora/a/b.png"},
        {"@main.lua", "local p = rel('img.png') return p", "img.png"},
        {"=stdin", "local p = rel('img.png') return p", "img.png"},
        {"@/games/one/pellora/main.lua", "local _, p = pcall(rel, 'x.png') return p",
         "/games/one/pellora/x.png"},
        // A function from a string chunk, called from a file: the file's folder.
        {"@/games/one/pellora/main.lua",
         "local f = loadstring('local p = rel(...) return p') local p = f('y.png') return p",
         "/games/one/pellora/y.png"},
        {"@/games/one/pellora/main.lua", "local p = rel('special.png') return p", "/elsewhere/special.png"},
        {"@/games/one/pellora/main.lua", "local p = rel(12) return p", "/games/one/pellora/12"},
        {"@/games/one/pellora/main.lua", "return rel({})", "error:string expected"},
        {"@/games/one/pellora/main.lua", "return rel()", "error:string expected"},
    };
    luatest::CState state;
    lua_register(state.L, "rel", relativePath);
    for (const Case& c : cases)
    {
        std::string got = state.run(c.call, c.chunkName);
        EXPECT_TRUE(luatest::matches(got, c.expected))
            << c.chunkName << " / " << c.call << "\n  got: " << got;
    }
}

TEST(TracebackHandler, AddsTheTracebackWhileDebugExists)
{
    luatest::CState state;
    auto failWithHandler = [&]() {
        lua_pushcfunction(state.L, zu::lua::tracebackHandler);
        luaL_loadstring(state.L, "error('boom', 0)");
        EXPECT_NE(lua_pcall(state.L, 0, 0, -2), 0);
        std::string message = lua_tostring(state.L, -1);
        lua_settop(state.L, 0);
        return message;
    };
    std::string withDebug = failWithHandler();
    EXPECT_EQ(withDebug.rfind("boom\nstack traceback:", 0), 0u) << withDebug;
    state.run("debug = nil");
    EXPECT_EQ(failWithHandler(), "boom");
}
