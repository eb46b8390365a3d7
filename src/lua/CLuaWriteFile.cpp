#include "lua/CLuaWriteFile.h"

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "io/CCompressedFile.h"
#include "io/CMemWriteFile.h"
#include "io/IFileSystem.h"
#include "lua/luaCpp/LuaHelpers.h"

#include <cstring>

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

// WriteFile(path [, mode]) -> WriteFile
// Creates (or replaces) a file to write fields into. mode "m" writes into
// memory, for ReadFile(writeFile, "m"); "z" collects the fields and writes
// them compressed when the file is closed or collected. Save games belong
// under "$USERDATA$/".
CLuaWriteFile* CLuaWriteFile::construct(const CLuaArgs& args)
{
    EFileMode mode = CLuaFileLibrary::modeArgument(args, 2);
    io::IFileSystem* fs = CLuaFileLibrary::getFileSystem();
    bool named = args.isText(1);
    CString path = named ? args.text(1) : CString();

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

// WriteFile:writeString(text) -> nothing
// The text's bytes up to its first zero byte, then one zero byte. A value
// that is not text writes just the zero byte.
int CLuaWriteFile::writeString(const CLuaArgs& args)
{
    if (!m_file)
        return 0;
    if (args.isText(1) || args.isNumber(1))
    {
        CString text = args.text(1);
        // Only the text before a zero byte is written.
        put(text.data(), uint32_t(strnlen(text.data(), text.size())));
    }
    const uint8_t zero = 0;
    put(&zero, 1);
    return 0;
}

// WriteFile:writeInt([value]) -> nothing
// A signed 32-bit integer (4 bytes, little-endian); nil writes 0.
int CLuaWriteFile::writeInt(const CLuaArgs& args)
{
    if (!m_file)
        return 0;
    uint8_t bytes[4];
    core::writeLE32(bytes, uint32_t(args.integer(1, 0)));
    put(bytes, 4);
    return 0;
}

// WriteFile:writeFloat([value]) -> nothing
// A 32-bit float (4 bytes); nil writes 0.
int CLuaWriteFile::writeFloat(const CLuaArgs& args)
{
    if (!m_file)
        return 0;
    float value = args.toFloat(1, 0.0f);
    uint32_t bits;
    memcpy(&bits, &value, 4);
    uint8_t bytes[4];
    core::writeLE32(bytes, bits);
    put(bytes, 4);
    return 0;
}

// WriteFile:writeBoolean(value) -> nothing
// One byte: 1 for true, 0 for anything else (the number 1 is no boolean).
int CLuaWriteFile::writeBoolean(const CLuaArgs& args)
{
    if (!m_file)
        return 0;
    uint8_t value = args.type(1) == LUA_TBOOLEAN && args.flag(1) ? 1 : 0;
    put(&value, 1);
    return 0;
}

// WriteFile:writeByte([value]) -> nothing
// The low 8 bits of the integer; nil writes 0.
int CLuaWriteFile::writeByte(const CLuaArgs& args)
{
    if (!m_file)
        return 0;
    uint8_t value = uint8_t(args.integer(1, 0));
    put(&value, 1);
    return 0;
}

// WriteFile:close() -> nothing
// Finishes the file (a "z" file is compressed and written now). Collected
// files close themselves, but a save should not wait for the collector.
int CLuaWriteFile::close(const CLuaArgs&)
{
    close();
    return 0;
}

void CLuaWriteFile::close()
{
    if (!m_file)
        return;
    if (m_mode == EFM_COMPRESSED && !m_path.empty() && m_memory)
    {
        io::IFileSystem* fs = CLuaFileLibrary::getFileSystem();
        switch (io::CCompressedFile::write(fs, m_path, m_memory->getData(),
                                           uint32_t(m_memory->getSize())))
        {
        case io::CCompressedFile::EWR_NOT_COMPRESSED:
            core::zuLog(core::ELL_WARNING, "WriteFile: could not compress '%s'", m_path.c_str());
            break;
        case io::CCompressedFile::EWR_NOT_CREATED:
            core::zuLog(core::ELL_WARNING, "WriteFile: could not create '%s'", m_path.c_str());
            break;
        case io::CCompressedFile::EWR_OK:
            break;
        }
    }
    dropAndClear(m_file);
    m_memory = nullptr;
}

} // namespace zu::lua
