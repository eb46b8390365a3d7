// CLuaWChar: the native side of the script class WChar, a text value held
// natively so that its exact bytes (any values, zero bytes included) survive
// the trip through scripts, for GUI texts and font rendering.
//
// Positions seen by scripts are 1-based, except charAt's index, which is
// 0-based. Lengths count bytes. Methods raise a script error only for an
// argument of the wrong type; values out of range give an empty text, 0 or
// nil as documented per method.
#pragma once

#include "core/CString.h"
#include "lua/luaCpp/CLuaArgs.h"
#include "lua/luaCpp/SLuaMethod.h"

#include <cstdint>

namespace zu::lua
{

class CLuaWChar
{
public:
    static constexpr const char* className = "WChar";
    static constexpr EArgRule argRule = EAR_STRICT;
    static const SLuaMethod<CLuaWChar> methods[];

    // Registers the class table WChar in the state.
    static void install(lua_State* L);
    // WChar(a1, ..., an): an empty text, then append(a1, ..., an).
    static CLuaWChar* construct(const CLuaArgs& args);
    // Leaves a new script-owned WChar with the text on the stack.
    static void pushNew(lua_State* L, const core::CString& text);

    explicit CLuaWChar(core::CString text = core::CString()) : m_text(std::move(text)) {}
    virtual ~CLuaWChar() = default;

    const core::CString& getText() const { return m_text; }

    // Methods, in the order of the method list.
    int append(const CLuaArgs& args);
    int length(const CLuaArgs& args);
    int equals(const CLuaArgs& args);
    int lessThan(const CLuaArgs& args);
    int toString(const CLuaArgs& args);
    int toInteger(const CLuaArgs& args);
    int toNumber(const CLuaArgs& args);
    int toLower(const CLuaArgs& args);
    int find(const CLuaArgs& args);
    int sub(const CLuaArgs& args);
    int charAt(const CLuaArgs& args);

    // The text rules behind toInteger, toNumber and sub.
    // Digits read from the last byte back (to the second when the first is
    // "-") with weights 1, 10, 100...; other bytes skipped; wraps at 32 bits.
    static int32_t textToInteger(const core::CString& text);
    // Integer part and fraction split at the first "."; 32-bit float.
    static float textToNumber(const core::CString& text);
    // The piece selected by sub's arguments; argc is how many were given.
    static core::CString subText(const core::CString& text, int argc, int64_t i, int64_t j);

private:
    // Appends every argument, blank-separated; raises the type error for a
    // foreign userdata before changing anything.
    static void appendArguments(const CLuaArgs& args, core::CString& text);

    core::CString m_text;
};

} // namespace zu::lua
