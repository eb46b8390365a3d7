// CLuaReadFile: the native side of the script class ReadFile. Reads fields
// from a file on disk or inside a zip archive (file mode), from a snapshot of
// a memory-mode WriteFile (memory mode), or from a compressed file expanded
// into memory when opened (compressed mode). Reads past the end give what
// could be read, the missing bytes being zeros. Without a file every method
// except isOk does nothing.
#pragma once

#include "core/CString.h"
#include "lua/CLuaFileLibrary.h"
#include "lua/luaCpp/SLuaMethod.h"

#include <cstdint>

namespace zu::io
{
class IReadFile;
}

namespace zu::lua
{

class CLuaReadFile
{
public:
    static constexpr const char* className = "ReadFile";
    static const SLuaMethod<CLuaReadFile> methods[];

    // ReadFile(path, mode), or ReadFile(writeFile, "m"); raises the argument
    // error when memory mode is given something other than a WriteFile.
    static CLuaReadFile* construct(lua_State* L);

    // Expands a compressed file into a memory file. Nothing in the file is
    // trusted: a file shorter than the length field or with a negative length
    // holds nothing; the length is capped by what the compressed bytes could
    // possibly expand to; bytes that could not be expanded read as zeros.
    // Null only when the file cannot be opened.
    static io::IReadFile* openCompressed(io::IFileSystem* fs, const core::CString& path);

    // Takes over the file's reference (null for no file).
    CLuaReadFile(io::IReadFile* file, EFileMode mode) : m_file(file), m_mode(mode) {}
    virtual ~CLuaReadFile();
    CLuaReadFile(const CLuaReadFile&) = delete;
    CLuaReadFile& operator=(const CLuaReadFile&) = delete;

    int isOk(lua_State* L);
    int seek(lua_State* L);
    int readString(lua_State* L);
    int readInt(lua_State* L);
    int readFloat(lua_State* L);
    int readBoolean(lua_State* L);
    int readByte(lua_State* L);
    int close(lua_State* L);

    io::IReadFile* getFile() const { return m_file; }
    EFileMode getMode() const { return m_mode; }

private:
    // Four bytes, little-endian, zeros for the bytes past the end.
    uint32_t read32();
    uint8_t read8();

    io::IReadFile* m_file;
    EFileMode m_mode;
};

} // namespace zu::lua
