// CLuaArgs: the arguments of one script call, read the same way by every
// script library.
//
// Positions are the ones a script writes: 1 is the first argument, after the
// object for a method (the object stays on the stack; arguments are read at
// an offset instead of shifting the stack). The count is fixed when the
// reader is made, so results pushed afterwards do not change it.
//
// Each library reads under one rule:
// - EAR_STRICT: a value of the wrong type raises the runtime's argument error,
//   naming the function: "bad argument #2 to 'playSound' (number expected,
//   got string)". A missing argument or nil takes the default where the read
//   has one and raises where it has none.
// - EAR_LENIENT: the runtime's plain conversions, nothing raises: a value
//   that is not a number reads as 0, one that is neither text nor a number as
//   "". A missing argument or nil takes the default (0 or "" without one).
// - EAR_PLAIN: like lenient, but only a missing argument takes the default;
//   nil is converted like any other value (0, "").
// Flags are the script's truth test under every rule (only nil and false are
// false); a missing flag takes its default.
//
// Numbers never reach native code unchecked: NaN reads as 0 for integers,
// integers are truncated towards zero and clamped (to +-2^53, to the 32-bit
// range, or to the range a read names), floats beyond the float range become
// the matching infinity.
#pragma once

#include "core/CString.h"

#include <cfloat>
#include <cmath>
#include <cstdint>

#include <lua.hpp>

namespace zu::lua
{

// Script numbers may be NaN, infinite or far beyond any native range; casting
// those is undefined behaviour in C++. These map NaN to 0 and clamp first.
// toInteger truncates towards zero like the runtime's own integer conversion,
// clamped to +-2^53.
inline int64_t toInteger(lua_Number value)
{
    constexpr lua_Number limit = 9007199254740992.0; // 2^53
    if (std::isnan(value))
        return 0;
    if (value > limit)
        return int64_t(limit);
    if (value < -limit)
        return -int64_t(limit);
    return static_cast<int64_t>(value);
}

// An integer clamped to the 32-bit range.
inline int32_t toInt32(lua_Number value)
{
    const int64_t v = toInteger(value);
    return int32_t(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

// Finite values beyond the float range become the matching infinity.
inline float toFloat(lua_Number value)
{
    if (value > FLT_MAX)
        return HUGE_VALF;
    if (value < -FLT_MAX)
        return -HUGE_VALF;
    return static_cast<float>(value);
}

enum EArgRule
{
    EAR_STRICT,
    EAR_LENIENT,
    EAR_PLAIN
};

class CLuaArgs
{
  public:
    // `self` is the number of stack slots before the first argument: 0 for a
    // function, 1 for a method or a constructor (the object or class table).
    // A constructor's class table is never written by the script, so errors
    // count arguments after it (`selfHidden`).
    CLuaArgs(lua_State* L, EArgRule rule, int self = 0, bool selfHidden = false)
        : m_state(L), m_rule(rule), m_self(self), m_selfHidden(selfHidden),
          m_count(lua_gettop(L) - self)
    {
        if (m_count < 0) m_count = 0;
    }

    lua_State* state() const { return m_state; }
    EArgRule rule() const { return m_rule; }
    // How many arguments the call passed (nils included).
    int count() const { return m_count; }
    // The stack index of argument n.
    int index(int n) const { return m_self + n; }

    // Argument n was passed (it may be nil).
    bool given(int n) const { return n >= 1 && n <= m_count; }
    // Argument n takes its default under this rule: not passed, or nil
    // except under EAR_PLAIN.
    bool missing(int n) const
    {
        return !given(n) || (m_rule != EAR_PLAIN && lua_isnil(m_state, index(n)));
    }
    // The runtime's type of argument n (LUA_TNONE when not passed).
    int type(int n) const { return given(n) ? lua_type(m_state, index(n)) : LUA_TNONE; }
    bool isNumber(int n) const { return type(n) == LUA_TNUMBER; }
    bool isText(int n) const { return type(n) == LUA_TSTRING; }
    bool isTable(int n) const { return type(n) == LUA_TTABLE; }
    bool isNil(int n) const { return type(n) == LUA_TNIL || type(n) == LUA_TNONE; }

    // A number as the script gave it. Without a default a missing argument
    // raises under EAR_STRICT and reads as 0 otherwise.
    lua_Number number(int n) const { return numberAt(n, nullptr); }
    lua_Number number(int n, lua_Number fallback) const { return numberAt(n, &fallback); }
    float toFloat(int n) const { return lua::toFloat(number(n)); }
    float toFloat(int n, float fallback) const
    {
        const lua_Number wide = fallback;
        return lua::toFloat(numberAt(n, &wide));
    }
    // Truncated towards zero, NaN as 0, clamped to +-2^53.
    int64_t integer(int n) const { return toInteger(number(n)); }
    // Defaults are small integers, exact as numbers.
    int64_t integer(int n, int64_t fallback) const
    {
        const lua_Number wide = lua_Number(fallback);
        return toInteger(numberAt(n, &wide));
    }
    // Clamped to the 32-bit range.
    int32_t int32(int n) const { return toInt32(number(n)); }
    int32_t int32(int n, int32_t fallback) const
    {
        const lua_Number wide = fallback;
        return toInt32(numberAt(n, &wide));
    }
    // Clamped to lowest..highest.
    int64_t integerIn(int n, int64_t lowest, int64_t highest) const;

    bool flag(int n, bool fallback = false) const
    {
        return given(n) ? lua_toboolean(m_state, index(n)) != 0 : fallback;
    }

    // Text with its exact bytes; a number reads in the runtime's format.
    core::CString text(int n) const;
    core::CString text(int n, const char* fallback) const;

    // A colour channel: the integer's low 8 bits.
    uint32_t channel(int n) const { return uint32_t(int32(n)) & 0xFF; }
    // Four channels a, r, g, b from `first`, packed as ARGB.
    uint32_t argb(int first) const
    {
        return channel(first) << 24 | channel(first + 1) << 16 | channel(first + 2) << 8 |
               channel(first + 3);
    }
    // Opaque white; white with the alpha at `first` when the call reaches it;
    // a, r, g, b from `first` when it reaches all four.
    uint32_t colour(int first) const
    {
        if (given(first + 3)) return argb(first);
        if (given(first)) return channel(first) << 24 | 0xFFFFFF;
        return 0xFFFFFFFF;
    }

    // Raises the runtime's argument error for argument n (0 is the object of
    // a method), naming the function the script called. Never returns.
    [[noreturn]] void error(int n, const char* message) const;
    // "<expected> expected, got <type of argument n>".
    [[noreturn]] void typeError(int n, const char* expected) const;

    // The name the script called the running function by: the name it was
    // registered under, or what the runtime knows, or "?".
    static const char* functionName(lua_State* L);

  private:
    // Argument n as a number, or *fallback when it is missing (raising or 0
    // without one, as the rule says). A number costs one type test.
    lua_Number numberAt(int n, const lua_Number* fallback) const
    {
        if (!given(n))
            return missingNumber(n, fallback);
        // One call for the usual case: the runtime's conversion gives 0 for
        // anything that is not a number, so only a 0 needs a closer look.
        const lua_Number value = lua_tonumber(m_state, index(n));
        if (value != 0 || m_rule == EAR_PLAIN)
            return value;
        const int type = lua_type(m_state, index(n));
        if (type == LUA_TNUMBER)
            return value;
        if (type == LUA_TNIL)
            return missingNumber(n, fallback);
        return convertNumber(n);
    }
    lua_Number missingNumber(int n, const lua_Number* fallback) const
    {
        if (fallback)
            return *fallback;
        if (m_rule == EAR_STRICT)
            typeError(n, "number");
        return 0;
    }
    // Any other value: converted, or refused under EAR_STRICT.
    lua_Number convertNumber(int n) const;

    lua_State* m_state;
    EArgRule m_rule;
    int m_self;
    bool m_selfHidden;
    int m_count;
};

} // namespace zu::lua
