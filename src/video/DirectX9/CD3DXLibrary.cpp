#include "video/DirectX9/CD3DXLibrary.h"

#include "core/Output.h"

#include <string>

namespace kelvo::video
{
namespace
{

constexpr int kVersion = 43;

struct SLookup
{
    std::string libraryName = "d3dx9_" + std::to_string(kVersion) + ".dll";
    bool triedCompile = false;
    bool triedAssemble = false;
    CD3DXLibrary::CompileFunction compile = nullptr;
    CD3DXLibrary::AssembleFunction assemble = nullptr;
};

SLookup& lookup()
{
    static SLookup state;
    return state;
}

// The library stays loaded for the life of the process: shaders made with
// its help live until the driver goes.
void* find(const char* function)
{
    const char* name = lookup().libraryName.c_str();
    HMODULE library = LoadLibraryA(name);
    void* address = library ? reinterpret_cast<void*>(GetProcAddress(library, function)) : nullptr;
    if (!address)
        zu::core::zuLog(zu::core::ELL_ERROR,
                        "Could not load shader function %s from dll, shaders disabled: %s",
                        function, name);
    return address;
}

} // namespace

CD3DXLibrary::CompileFunction CD3DXLibrary::compileShader()
{
    SLookup& state = lookup();
    if (!state.triedCompile)
    {
        state.triedCompile = true;
        state.compile = reinterpret_cast<CompileFunction>(find("D3DXCompileShader"));
    }
    return state.compile;
}

CD3DXLibrary::AssembleFunction CD3DXLibrary::assembleShader()
{
    SLookup& state = lookup();
    if (!state.triedAssemble)
    {
        state.triedAssemble = true;
        state.assemble = reinterpret_cast<AssembleFunction>(find("D3DXAssembleShader"));
    }
    return state.assemble;
}

const char* CD3DXLibrary::libraryName()
{
    return lookup().libraryName.c_str();
}

void CD3DXLibrary::setLibraryName(const char* name)
{
    lookup() = SLookup();
    if (name) lookup().libraryName = name;
}

} // namespace kelvo::video
