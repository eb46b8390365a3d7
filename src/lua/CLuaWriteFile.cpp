#include "lua/CLuaWriteFile.h"

#include "core/Output.h"
#include "io/CMemWriteFile.h"
#include "io/IFileSystem.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <cstring>
#include <memory>
#include <new>
#include <zlib.h>

namespace zu::lua
{

using core::CString;

const SLuaMethod<CLuaWriteFile> CLuaWriteFile::methods[] = {
    {"writeString", &CLuaWriteFile::writeString},
    {"writeInt", &CLuaWriteFile::writeInt},
    {"writeFloat", &CLuaWriteFile::writeFloat},
    {"writeBoolean", &CLuaWriteFile::writeBoolean},
    {"writeByte", &CLuaWriteFile::writeByte},
    {"close", &CLuaWriteFile::close},
    {nullptr, nullptr},
};

namespace
{

void storeLittleEndian(uint8_t out[4], uint32_t value)
{
    out[0] = uint8_t(value);
    out[1] = uint8_t(value >> 8);
    out[2] = uint8_t(value >> 16);
    out[3] = uint8_t(value >> 24);
}

} // namespace

CLuaWriteFile* CLuaWriteFile::construct(lua_State* L)
{
    EFileMode mode = CLuaFileLibrary::modeArgument(L, 2);
    io::IFileSystem* fs = CLuaFileLibrary::getFileSystem();
    bool named = lua_type(L, 1) == LUA_TSTRING;
    CString path = named ? CString(lua_tostring(L, 1), lua_objlen(L, 1)) : CString();

    if (mode == EFM_MEMORY || (mode == EFM_COMPRESSED && named))
    {
        auto* memory = new io::CMemWriteFile();
        return new CLuaWriteFile(memory, memory, mode, mode == EFM_COMPRESSED ? path : CString());
    }
    io::IWriteFile* file = nullptr;
    if (mode == EFM_FILE && named && fs)
    {
        file = fs->createAndWriteFile(path, false);
        if (!file)
            core::zuLog(core::ELL_WARNING, "WriteFile: could not create '%s'", path.c_str());
    }
    return new CLuaWriteFile(file, nullptr, mode, CString());
}

CLuaWriteFile::CLuaWriteFile(io::IWriteFile* file, io::CMemWriteFile* memory, EFileMode mode,
                             CString path)
    : m_file(file), m_memory(memory), m_mode(mode), m_path(std::move(path))
{
}

CLuaWriteFile::~CLuaWriteFile() { close(); }

void CLuaWriteFile::put(const void* bytes, uint32_t count)
{
    if (m_file)
        m_file->write(bytes, count);
}

int CLuaWriteFile::writeString(lua_State* L)
{
    if (!m_file)
        return 0;
    size_t length = 0;
    const char* text = lua_isstring(L, 1) ? lua_tolstring(L, 1, &length) : nullptr;
    // Only the text before a zero byte is written, then one zero byte.
    if (text)
        put(text, uint32_t(strnlen(text, length)));
    const uint8_t zero = 0;
    put(&zero, 1);
    return 0;
}

int CLuaWriteFile::writeInt(lua_State* L)
{
    if (!m_file)
        return 0;
    uint8_t bytes[4];
    storeLittleEndian(bytes, uint32_t(optInteger(L, 1, 0)));
    put(bytes, 4);
    return 0;
}

int CLuaWriteFile::writeFloat(lua_State* L)
{
    if (!m_file)
        return 0;
    float value = toFloat(luaL_optnumber(L, 1, 0));
    uint32_t bits;
    memcpy(&bits, &value, 4);
    uint8_t bytes[4];
    storeLittleEndian(bytes, bits);
    put(bytes, 4);
    return 0;
}

int CLuaWriteFile::writeBoolean(lua_State* L)
{
    if (!m_file)
        return 0;
    // Only a script boolean true writes 1; the number 1 is no boolean.
    uint8_t value = lua_type(L, 1) == LUA_TBOOLEAN && lua_toboolean(L, 1) ? 1 : 0;
    put(&value, 1);
    return 0;
}

int CLuaWriteFile::writeByte(lua_State* L)
{
    if (!m_file)
        return 0;
    uint8_t value = uint8_t(optInteger(L, 1, 0));
    put(&value, 1);
    return 0;
}

int CLuaWriteFile::close(lua_State*)
{
    close();
    return 0;
}

void CLuaWriteFile::close()
{
    if (!m_file)
        return;
    if (m_mode == EFM_COMPRESSED && !m_path.empty() && m_memory)
        writeCompressed();
    dropAndClear(m_file);
    m_memory = nullptr;
}

void CLuaWriteFile::writeCompressed()
{
    io::IFileSystem* fs = CLuaFileLibrary::getFileSystem();
    uint32_t size = uint32_t(m_memory->getSize());
    // Sized for the worst case, so data that does not shrink (short or random
    // bytes) is stored too.
    uLong bound = compressBound(size);
    std::unique_ptr<uint8_t[]> packed(new (std::nothrow) uint8_t[bound]);
    static const uint8_t nothing = 0;
    const void* source = size ? static_cast<const void*>(m_memory->getData()) : &nothing;
    uint32_t packedSize = 0;
    if (!fs || !packed ||
        !fs->compressBuffer(packed.get(), uint32_t(bound), source, size, packedSize))
    {
        core::zuLog(core::ELL_WARNING, "WriteFile: could not compress '%s'", m_path.c_str());
        return;
    }
    io::IWriteFile* target = fs->createAndWriteFile(m_path, false);
    if (!target)
    {
        core::zuLog(core::ELL_WARNING, "WriteFile: could not create '%s'", m_path.c_str());
        return;
    }
    uint8_t header[4];
    storeLittleEndian(header, size);
    target->write(header, 4);
    target->write(packed.get(), packedSize);
    target->drop();
}

} // namespace zu::lua
