// CLuaFileLibrary: the script file classes ReadFile and WriteFile.
//
// Files are bare sequences of fields, little-endian, no header and no tags:
// int and float 4 bytes, boolean and byte 1 byte, string its bytes and one
// zero byte. A compressed file holds such fields in the format of
// io::CCompressedFile. The optional second constructor argument picks
// the mode by its first character: "m" memory, "z" compressed, anything else
// (or nothing) a plain file.
//
// The library object only holds the process-wide file system pointer through
// which every path is resolved (aliases, zip archives). The script manager
// creates it, installs the classes, and deletes it after the script state is
// closed: collecting a compressed WriteFile still writes its file.
#pragma once

#include "lua/luaCpp/CLuaArgs.h"

#include <lua.hpp>

namespace zu::io
{
class IFileSystem;
}

namespace zu::lua
{

enum EFileMode
{
    EFM_FILE = 0,
    EFM_MEMORY = 1,
    EFM_COMPRESSED = 2
};

class CLuaFileLibrary
{
public:
    // Holds a reference to the file system (which may be null: then nothing
    // can be opened) and makes it the process-wide one.
    explicit CLuaFileLibrary(io::IFileSystem* fileSystem);
    ~CLuaFileLibrary();
    CLuaFileLibrary(const CLuaFileLibrary&) = delete;
    CLuaFileLibrary& operator=(const CLuaFileLibrary&) = delete;

    // Registers ReadFile and WriteFile in the state.
    void install(lua_State* L);

    // The file system of the current library, or null.
    static io::IFileSystem* getFileSystem();

    // The mode named by text argument n; file mode for no or non-text.
    static EFileMode modeArgument(const CLuaArgs& args, int n);

private:
    io::IFileSystem* m_fileSystem;
};

} // namespace zu::lua
