// Small routines every script library shares: the traceback message handler
// for protected calls, the script-relative path of a resource file, and the
// safe conversion of script numbers to native integers and floats.
#pragma once

#include "core/CString.h"
#include "lua/luaCpp/CLuaArgs.h"

#include <cstdint>
#include <utility>
#include <vector>

#include <lua.hpp>

namespace zu::io
{
class IFileSystem;
}

namespace zu::lua
{

// Pairs of (name as a script writes it, path to use instead). The script
// manager hands every library an empty list; the hook exists for tools that
// redirect resources.
using PathOverrides = std::vector<std::pair<core::CString, core::CString>>;

// The text of the value at `index` with its exact bytes (a number in the
// runtime's format); empty for any other value.
core::CString toCString(lua_State* L, int index);

// Pushes the text with its exact bytes.
inline void pushText(lua_State* L, const core::CString& text)
{
    lua_pushlstring(L, text.data(), text.size());
}

// Pushes holder[field], a table with weak values that is its own metatable,
// making it on first use (holder may be LUA_REGISTRYINDEX). The binders keep
// what the collector may take there.
void pushWeakValueTable(lua_State* L, int holder, const char* field);

// Sets the functions of `list` (ending with {nullptr, nullptr}) as fields of
// the table at `table`, each a closure carrying its name, so argument errors
// can say which function the script called.
void setFunctions(lua_State* L, int table, const luaL_Reg* list);
// Makes the global table `name` holding the functions of `list`; when it
// exists already (a library installed in parts), the functions are added.
void installTable(lua_State* L, const char* name, const luaL_Reg* list);

// A message handler for lua_pcall: replaces the error value by
// debug.traceback(error, 2) when the script still has a debug table holding a
// traceback function; otherwise leaves the error value as it is.
int tracebackHandler(lua_State* L);

// The folder of the nearest function on the call stack that comes from a
// script file, with its trailing "/"; empty when there is none. The chunk
// name is normalised ("\" to "/", runs of "/" collapsed, trailing "/"
// removed) and cut after its last "/". Pure C functions and string chunks
// are looked past, and so is a caller that made a tail call (return f(...)),
// whose frame the runtime no longer keeps.
core::CString scriptFolder(lua_State* L);

// A file named in a script: names starting with a folder alias ("$USERDATA$/
// save.dat") as they are, others in the folder of the calling script.
core::CString scriptPath(lua_State* L, const core::CString& name);

// Loads a script file through the file system (from a folder or from a zip
// archive) as a chunk named "@" + the resolved path, so names relative to
// that script work inside archives too. Pushes the chunk, or the error
// message ("cannot open <path>" for a missing file); returns the runtime's
// load status. Without a file system the path is read from disk.
int loadScriptFile(lua_State* L, io::IFileSystem* fs, const core::CString& path);

// The file named by the text argument n, looked up in the folder of
// the script that made the call (scriptFolder), as dofile does. With no file
// chunk on the stack, or a chunk name without a folder, the argument is used
// as it is. An override list entry matching the argument wins. A missing or
// non-text argument raises the runtime's argument error.
core::CString getScriptRelativePath(const CLuaArgs& args, int n,
                                    const PathOverrides& overrides = PathOverrides());

// toInteger, toInt32 and toFloat, the safe number conversions, are in
// CLuaArgs.h.

// Calls the script's global print with one line, as a script would; a
// missing print or its error is dropped.
void printThroughScript(lua_State* L, const core::CString& line);

} // namespace zu::lua
