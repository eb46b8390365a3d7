// CLuaXMLLibrary: the script classes XMLReader and XMLWriter, through which
// games keep level data and settings in XML files.
//
// Paths go through the file system of the file library (aliases, zip
// archives for reading), so the script manager installs these classes next
// to ReadFile and WriteFile. The reader's node types are also fields of the
// XMLReader table: XMLReader.NONE, ELEMENT, ELEMENT_END, TEXT, COMMENT and
// CDATA.
#pragma once

#include <lua.hpp>

namespace zu::lua
{

class CLuaXMLLibrary
{
  public:
    // Registers XMLReader and XMLWriter in the state.
    static void install(lua_State* L);
};

} // namespace zu::lua
