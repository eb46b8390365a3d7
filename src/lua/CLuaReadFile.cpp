#include "lua/CLuaReadFile.h"

#include "core/Output.h"
#include "core/ByteOrder.h"
#include "io/CCompressedFile.h"
#include "io/CMemReadFile.h"
#include "io/CMemWriteFile.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "lua/CLuaWriteFile.h"
#include "lua/luaCpp/LuaClassBinder.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace zu::lua
{

using core::CString;

const SLuaMethod<CLuaReadFile> CLuaReadFile::methods[] = {
    {"isOk", &CLuaReadFile::isOk},
    {"seek", &CLuaReadFile::seek},
    {"readString", &CLuaReadFile::readString},
    {"readInt", &CLuaReadFile::readInt},
    {"readFloat", &CLuaReadFile::readFloat},
    {"readBoolean", &CLuaReadFile::readBoolean},
    {"readByte", &CLuaReadFile::readByte},
    {"close", &CLuaReadFile::close},
    {nullptr, nullptr},
};

namespace
{

// A memory file over a copy of the bytes (an empty one when size is 0).
io::IReadFile* memoryCopy(const uint8_t* data, int32_t size)
{
    uint8_t* copy = new (std::nothrow) uint8_t[size_t(size)];
    if (!copy)
        return new io::CMemReadFile(nullptr, 0, false);
    if (size)
        memcpy(copy, data, size_t(size));
    return new io::CMemReadFile(copy, size, true);
}

io::IReadFile* openCompressed(io::IFileSystem* fs, const CString& path)
{
    io::CCompressedFile::EReadResult result = io::CCompressedFile::ERR_OK;
    io::IReadFile* file = io::CCompressedFile::openRead(fs, path, &result);
    if (result == io::CCompressedFile::ERR_TOO_LARGE)
        core::zuLog(core::ELL_WARNING, "ReadFile: '%s' is too large to expand", path.c_str());
    else if (result == io::CCompressedFile::ERR_DAMAGED)
        core::zuLog(core::ELL_WARNING, "ReadFile: '%s' is not a valid compressed file",
                    path.c_str());
    return file;
}

} // namespace

// ReadFile(path [, mode]) -> ReadFile
// ReadFile(writeFile, "m") -> ReadFile
// Opens a file to read fields from. path may use folder aliases and reach
// into zip archives. mode "z" reads a file written by WriteFile(path, "z");
// "m" reads a snapshot of a memory WriteFile (later writes to it are not
// seen). A file that cannot be opened still gives a ReadFile, whose isOk()
// is false.
CLuaReadFile* CLuaReadFile::construct(const CLuaArgs& args)
{
    EFileMode mode = CLuaFileLibrary::modeArgument(args, 2);
    io::IFileSystem* fs = CLuaFileLibrary::getFileSystem();
    if (mode == EFM_MEMORY)
    {
        const CLuaWriteFile* writer = LuaClassBinder<CLuaWriteFile>::check(args, 1);
        const io::CMemWriteFile* memory = writer->getMode() == EFM_MEMORY ? writer->getMemoryFile()
                                                                          : nullptr;
        io::IReadFile* file = memory ? memoryCopy(memory->getData(), memory->getSize()) : nullptr;
        return new CLuaReadFile(file, mode);
    }
    io::IReadFile* file = nullptr;
    if (args.isText(1) && fs)
    {
        CString path = args.text(1);
        file = mode == EFM_COMPRESSED ? openCompressed(fs, path) : fs->createAndOpenFile(path);
        if (!file)
            core::zuLog(core::ELL_WARNING, "ReadFile: could not open '%s'", path.c_str());
    }
    return new CLuaReadFile(file, mode);
}

CLuaReadFile::~CLuaReadFile() { dropAndClear(m_file); }

uint32_t CLuaReadFile::read32()
{
    uint8_t bytes[4] = {};
    m_file->read(bytes, 4);
    return core::readLE32(bytes);
}

uint8_t CLuaReadFile::read8()
{
    uint8_t byte = 0;
    m_file->read(&byte, 1);
    return byte;
}

// ReadFile:isOk() -> boolean
// True while the file is open.
int CLuaReadFile::isOk(const CLuaArgs& args)
{
    lua_pushboolean(args.state(), m_file != nullptr);
    return 1;
}

// ReadFile:seek(position [, relative]) -> nothing
// Moves to the byte position, or by that many bytes when relative is true.
int CLuaReadFile::seek(const CLuaArgs& args)
{
    if (!m_file || !args.isNumber(1))
        return 0;
    m_file->seek(args.int32(1), args.flag(2));
    return 0;
}

// ReadFile:readString() -> text
// The bytes up to the next zero byte (or the end), without it.
int CLuaReadFile::readString(const CLuaArgs& args)
{
    if (!m_file)
        return 0;
    std::string text;
    char c;
    while (m_file->read(&c, 1) == 1 && c != 0)
        text += c;
    lua_pushlstring(args.state(), text.data(), text.size());
    return 1;
}

// ReadFile:readInt() -> integer
// A signed 32-bit integer (4 bytes, little-endian). Past the end, the
// missing bytes read as zeros, here and in every read below.
int CLuaReadFile::readInt(const CLuaArgs& args)
{
    if (!m_file)
        return 0;
    lua_pushinteger(args.state(), int32_t(read32()));
    return 1;
}

// ReadFile:readFloat() -> number
// A 32-bit float (4 bytes).
int CLuaReadFile::readFloat(const CLuaArgs& args)
{
    if (!m_file)
        return 0;
    uint32_t bits = read32();
    float value;
    memcpy(&value, &bits, 4);
    lua_pushnumber(args.state(), value);
    return 1;
}

// ReadFile:readBoolean() -> boolean
// One byte; anything but 0 is true.
int CLuaReadFile::readBoolean(const CLuaArgs& args)
{
    if (!m_file)
        return 0;
    lua_pushboolean(args.state(), read8() != 0);
    return 1;
}

// ReadFile:readByte() -> 0..255
int CLuaReadFile::readByte(const CLuaArgs& args)
{
    if (!m_file)
        return 0;
    lua_pushinteger(args.state(), read8());
    return 1;
}

// ReadFile:close() -> nothing
// Closes the file; isOk() is false afterwards. Collected files close
// themselves.
int CLuaReadFile::close(const CLuaArgs&)
{
    dropAndClear(m_file);
    return 0;
}

} // namespace zu::lua
