#include "lua/CLuaFileLibrary.h"

#include "io/IFileSystem.h"
#include "lua/CLuaReadFile.h"
#include "lua/CLuaWriteFile.h"
#include "lua/luaCpp/LuaClassBinder.h"

namespace zu::lua
{
namespace
{
// The library of the running script; the newest one wins, so an old library
// deleted after a new one was made leaves the new one in place.
CLuaFileLibrary* g_library = nullptr;
}

CLuaFileLibrary::CLuaFileLibrary(io::IFileSystem* fileSystem) : m_fileSystem(fileSystem)
{
    if (m_fileSystem)
        m_fileSystem->grab();
    g_library = this;
}

CLuaFileLibrary::~CLuaFileLibrary()
{
    if (g_library == this)
        g_library = nullptr;
    if (m_fileSystem)
        m_fileSystem->drop();
}

void CLuaFileLibrary::install(lua_State* L)
{
    LuaClassBinder<CLuaReadFile>::install(L);
    LuaClassBinder<CLuaWriteFile>::install(L);
}

io::IFileSystem* CLuaFileLibrary::getFileSystem()
{
    return g_library ? g_library->m_fileSystem : nullptr;
}

EFileMode CLuaFileLibrary::modeArgument(const CLuaArgs& args, int n)
{
    if (!args.isText(n))
        return EFM_FILE;
    switch (args.text(n).c_str()[0])
    {
    case 'm':
        return EFM_MEMORY;
    case 'z':
        return EFM_COMPRESSED;
    default:
        return EFM_FILE;
    }
}

} // namespace zu::lua
