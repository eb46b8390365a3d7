// CLuaReadFile: the native side of the script class ReadFile. Reads fields
// from a file on disk or inside a zip archive (file mode), from a snapshot of
// a memory-mode WriteFile (memory mode), or from a compressed file expanded
// into memory when opened (compressed mode). Reads past the end give what
// could be read, the missing bytes being zeros. Without a file every method
// except isOk does nothing.
#pragma once

#include "core/CString.h"
#include "lua/CLuaFileLibrary.h"
#include "lua/luaCpp/CLuaArgs.h"
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
    static constexpr EArgRule argRule = EAR_STRICT;
    static const SLuaMethod<CLuaReadFile> methods[];

    // ReadFile(path, mode), or ReadFile(writeFile, "m"); raises the argument
    // error when memory mode is given something other than a WriteFile.
    static CLuaReadFile* construct(const CLuaArgs& args);

    // Takes over the file's reference (null for no file).
    CLuaReadFile(io::IReadFile* file, EFileMode mode) : m_file(file), m_mode(mode) {}
    virtual ~CLuaReadFile();
    CLuaReadFile(const CLuaReadFile&) = delete;
    CLuaReadFile& operator=(const CLuaReadFile&) = delete;

    int isOk(const CLuaArgs& args);
    int seek(const CLuaArgs& args);
    int readString(const CLuaArgs& args);
    int readInt(const CLuaArgs& args);
    int readFloat(const CLuaArgs& args);
    int readBoolean(const CLuaArgs& args);
    int readByte(const CLuaArgs& args);
    int close(const CLuaArgs& args);

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
