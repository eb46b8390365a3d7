// CLuaWriteFile: the native side of the script class WriteFile. Writes fields
// to a disk file as it goes (file mode), into a memory buffer that a ReadFile
// can take a snapshot of (memory mode), or into a memory buffer that is
// compressed into its file once, at close or when collected (compressed mode).
// Without a file every method does nothing; only the numeric methods raise,
// for an argument that is not a number.
#pragma once

#include "core/CString.h"
#include "lua/CLuaFileLibrary.h"
#include "lua/luaCpp/CLuaArgs.h"
#include "lua/luaCpp/SLuaMethod.h"

#include <cstdint>

namespace zu::io
{
class IWriteFile;
class CMemWriteFile;
} // namespace zu::io

namespace zu::lua
{

class CLuaWriteFile
{
public:
    static constexpr const char* className = "WriteFile";
    static constexpr EArgRule argRule = EAR_STRICT;
    static const SLuaMethod<CLuaWriteFile> methods[];

    // WriteFile(path, mode): see the modes in CLuaFileLibrary.h.
    static CLuaWriteFile* construct(const CLuaArgs& args);

    // Takes over the file's reference (null for no file). memory is the same
    // file when it is a memory buffer.
    CLuaWriteFile(io::IWriteFile* file, io::CMemWriteFile* memory, EFileMode mode,
                  core::CString path);
    virtual ~CLuaWriteFile();
    CLuaWriteFile(const CLuaWriteFile&) = delete;
    CLuaWriteFile& operator=(const CLuaWriteFile&) = delete;

    int writeString(const CLuaArgs& args);
    int writeInt(const CLuaArgs& args);
    int writeFloat(const CLuaArgs& args);
    int writeBoolean(const CLuaArgs& args);
    int writeByte(const CLuaArgs& args);
    int close(const CLuaArgs& args);

    // Finishes the file (compressing it in compressed mode) and releases it.
    void close();

    EFileMode getMode() const { return m_mode; }
    // The buffer of a memory-mode file, or null.
    const io::CMemWriteFile* getMemoryFile() const { return m_file ? m_memory : nullptr; }

private:
    void put(const void* bytes, uint32_t count);

    io::IWriteFile* m_file;
    io::CMemWriteFile* m_memory;
    EFileMode m_mode;
    core::CString m_path;
};

} // namespace zu::lua
