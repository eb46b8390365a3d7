#include "lua/CLuaReadFile.h"

#include "core/Output.h"
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

// Deflate never expands data by more than 1032 to 1, so a stored length
// beyond that multiple of the compressed bytes cannot be genuine.
constexpr int64_t kMaxInflateRatio = 1032;

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

} // namespace

CLuaReadFile* CLuaReadFile::construct(lua_State* L)
{
    EFileMode mode = CLuaFileLibrary::modeArgument(L, 2);
    io::IFileSystem* fs = CLuaFileLibrary::getFileSystem();
    if (mode == EFM_MEMORY)
    {
        // A snapshot: later writes to the WriteFile are not seen.
        const CLuaWriteFile* writer = LuaClassBinder<CLuaWriteFile>::check(L, 1);
        const io::CMemWriteFile* memory = writer->getMode() == EFM_MEMORY ? writer->getMemoryFile()
                                                                          : nullptr;
        io::IReadFile* file = memory ? memoryCopy(memory->getData(), memory->getSize()) : nullptr;
        return new CLuaReadFile(file, mode);
    }
    io::IReadFile* file = nullptr;
    if (lua_type(L, 1) == LUA_TSTRING && fs)
    {
        CString path(lua_tostring(L, 1), lua_objlen(L, 1));
        file = mode == EFM_COMPRESSED ? openCompressed(fs, path) : fs->createAndOpenFile(path);
        if (!file)
            core::zuLog(core::ELL_WARNING, "ReadFile: could not open '%s'", path.c_str());
    }
    return new CLuaReadFile(file, mode);
}

io::IReadFile* CLuaReadFile::openCompressed(io::IFileSystem* fs, const CString& path)
{
    io::IReadFile* source = fs->createAndOpenFile(path);
    if (!source)
        return nullptr;
    uint8_t head[4] = {};
    int64_t length = 0;
    if (source->read(head, 4) == 4)
        length = int32_t(uint32_t(head[0]) | uint32_t(head[1]) << 8 | uint32_t(head[2]) << 16 |
                         uint32_t(head[3]) << 24);
    int64_t packedSize = int64_t(source->getSize()) - source->getPos();
    if (packedSize < 0)
        packedSize = 0;
    bool damaged = length < 0 || length > packedSize * kMaxInflateRatio;
    if (length < 0)
        length = 0;
    if (length > packedSize * kMaxInflateRatio)
        length = packedSize * kMaxInflateRatio;

    std::unique_ptr<uint8_t[]> packed(new (std::nothrow) uint8_t[size_t(packedSize)]);
    // Zero-filled, so whatever could not be expanded reads as zeros.
    uint8_t* expanded = new (std::nothrow) uint8_t[size_t(length)]();
    if (!packed || !expanded)
    {
        delete[] expanded;
        source->drop();
        core::zuLog(core::ELL_WARNING, "ReadFile: '%s' is too large to expand", path.c_str());
        return new io::CMemReadFile(nullptr, 0, false);
    }
    int32_t got = packedSize ? source->read(packed.get(), uint32_t(packedSize)) : 0;
    source->drop();
    uint32_t produced = 0;
    if (!fs->uncompressBuffer(expanded, uint32_t(length), packed.get(), uint32_t(got), produced) ||
        produced != uint32_t(length))
        damaged = true;
    if (damaged)
        core::zuLog(core::ELL_WARNING, "ReadFile: '%s' is not a valid compressed file",
                    path.c_str());
    return new io::CMemReadFile(expanded, int32_t(length), true);
}

CLuaReadFile::~CLuaReadFile() { dropAndClear(m_file); }

uint32_t CLuaReadFile::read32()
{
    uint8_t bytes[4] = {};
    m_file->read(bytes, 4);
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

uint8_t CLuaReadFile::read8()
{
    uint8_t byte = 0;
    m_file->read(&byte, 1);
    return byte;
}

int CLuaReadFile::isOk(lua_State* L)
{
    lua_pushboolean(L, m_file != nullptr);
    return 1;
}

int CLuaReadFile::seek(lua_State* L)
{
    if (!m_file || lua_type(L, 1) != LUA_TNUMBER)
        return 0;
    int64_t position = toInteger(lua_tonumber(L, 1));
    if (position > INT32_MAX)
        position = INT32_MAX;
    if (position < INT32_MIN)
        position = INT32_MIN;
    m_file->seek(int32_t(position), lua_toboolean(L, 2) != 0);
    return 0;
}

int CLuaReadFile::readString(lua_State* L)
{
    if (!m_file)
        return 0;
    std::string text;
    char c;
    while (m_file->read(&c, 1) == 1 && c != 0)
        text += c;
    lua_pushlstring(L, text.data(), text.size());
    return 1;
}

int CLuaReadFile::readInt(lua_State* L)
{
    if (!m_file)
        return 0;
    lua_pushinteger(L, int32_t(read32()));
    return 1;
}

int CLuaReadFile::readFloat(lua_State* L)
{
    if (!m_file)
        return 0;
    uint32_t bits = read32();
    float value;
    memcpy(&value, &bits, 4);
    lua_pushnumber(L, value);
    return 1;
}

int CLuaReadFile::readBoolean(lua_State* L)
{
    if (!m_file)
        return 0;
    lua_pushboolean(L, read8() != 0);
    return 1;
}

int CLuaReadFile::readByte(lua_State* L)
{
    if (!m_file)
        return 0;
    lua_pushinteger(L, read8());
    return 1;
}

int CLuaReadFile::close(lua_State*)
{
    dropAndClear(m_file);
    return 0;
}

} // namespace zu::lua
