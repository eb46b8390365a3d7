// Small routines every script library shares: the traceback message handler
// for protected calls, the script-relative path of a resource file, and the
// safe conversion of script numbers to native integers and floats.
#pragma once

#include "core/CString.h"

#include <cstdint>
#include <utility>
#include <vector>

#include <lua.hpp>

namespace zu::lua
{

// Pairs of (name as a script writes it, path to use instead). The script
// manager hands every library an empty list; the hook exists for tools that
// redirect resources.
using PathOverrides = std::vector<std::pair<core::CString, core::CString>>;

// A message handler for lua_pcall: replaces the error value by
// debug.traceback(error, 2) when the script still has a debug table holding a
// traceback function; otherwise leaves the error value as it is.
int tracebackHandler(lua_State* L);

// The file named by the string argument at `index`, looked up in the folder of
// the script that made the call (the nearest function on the call stack that
// comes from a script file), as dofile does. The chunk name is normalised
// ("\" to "/", runs of "/" collapsed, trailing "/" removed) and cut after its
// last "/". With no file chunk on the stack, or a chunk name without a folder,
// the argument is used as it is. An override list entry matching the argument
// wins. A missing or non-text argument raises the runtime's argument error.
// A call made as a tail call (return f(...)) has lost its caller's frame; the
// folder then comes from the next file chunk up the stack.
core::CString getScriptRelativePath(lua_State* L, int index,
                                    const PathOverrides& overrides = PathOverrides());

// Script numbers may be NaN, infinite or far beyond any native range; casting
// those is undefined behaviour in C++. These map NaN to 0 and clamp first.
// toInteger truncates towards zero like the runtime's own integer conversion,
// clamped to +-2^53.
int64_t toInteger(lua_Number value);
// Finite values beyond the float range become the matching infinity.
float toFloat(lua_Number value);
// An integer clamped to the 32-bit range.
int32_t toInt32(lua_Number value);

// The number argument at `index` as a clamped integer; raises the runtime's
// argument error when it is not a number.
int64_t checkInteger(lua_State* L, int index);
// The same, with a default for a missing or nil argument.
int64_t optInteger(lua_State* L, int index, int64_t fallback);

// Calls the script's global print with one line, as a script would; a
// missing print or its error is dropped.
void printThroughScript(lua_State* L, const core::CString& line);

} // namespace zu::lua
