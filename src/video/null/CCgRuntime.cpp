#include "video/null/CCgRuntime.h"

#include "core/Output.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kelvo::video
{
namespace
{

#ifdef _WIN32
const char* const kCoreLibrary = "cg.dll";
const char* const kOpenGLLibrary = "cgGL.dll";
const char* const kDirect3D9Library = "cgD3D9.dll";

void* openLibrary(const char* name)
{
    return reinterpret_cast<void*>(LoadLibraryA(name));
}

void* findSymbol(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
#else
const char* const kCoreLibrary = "libCg.so";
const char* const kOpenGLLibrary = "libCgGL.so";

void* openLibrary(const char* name)
{
    return dlopen(name, RTLD_NOW | RTLD_LOCAL);
}

void* findSymbol(void* library, const char* name)
{
    return dlsym(library, name);
}
#endif

struct SLoaded
{
    bool tried = false;
    bool present = false;
    SCgFunctions functions;
};

SLoaded& loaded()
{
    static SLoaded state;
    return state;
}

const SCgFunctions* g_replacement = nullptr;

template <class Function> void find(void* library, const char* name, Function& out)
{
    out = library ? reinterpret_cast<Function>(findSymbol(library, name)) : nullptr;
}

void load(SLoaded& state)
{
    state.tried = true;
    // The libraries stay loaded for the life of the process: materials made
    // from them live until the driver goes.
    void* core = openLibrary(kCoreLibrary);
    if (!core)
    {
        zu::core::zuLog(zu::core::ELL_WARNING,
                        "Cg runtime not found (%s): Cg shader materials are not available",
                        kCoreLibrary);
        return;
    }
    SCgFunctions& f = state.functions;
    find(core, "cgCreateContext", f.createContext);
    find(core, "cgDestroyContext", f.destroyContext);
    find(core, "cgGetError", f.getError);
    find(core, "cgGetErrorString", f.getErrorString);
    find(core, "cgCreateProgram", f.createProgram);
    find(core, "cgDestroyProgram", f.destroyProgram);
    find(core, "cgGetNamedParameter", f.getNamedParameter);
    find(core, "cgGetFirstParameter", f.getFirstParameter);
    find(core, "cgGetNextParameter", f.getNextParameter);
    find(core, "cgGetParameterName", f.getParameterName);
    find(core, "cgGetParameterRows", f.getParameterRows);
    find(core, "cgGetParameterColumns", f.getParameterColumns);
    find(core, "cgSetParameterValuefr", f.setParameterValuefr);
    if (!f.hasCore())
    {
        zu::core::zuLog(zu::core::ELL_WARNING,
                        "Cg runtime %s lacks functions this system needs: Cg shader materials "
                        "are not available",
                        kCoreLibrary);
        f = SCgFunctions();
        return;
    }
    state.present = true;
    void* gl = openLibrary(kOpenGLLibrary);
    find(gl, "cgGLGetLatestProfile", f.glGetLatestProfile);
    find(gl, "cgGLSetOptimalOptions", f.glSetOptimalOptions);
    find(gl, "cgGLLoadProgram", f.glLoadProgram);
    find(gl, "cgGLBindProgram", f.glBindProgram);
    find(gl, "cgGLUnbindProgram", f.glUnbindProgram);
    find(gl, "cgGLEnableProfile", f.glEnableProfile);
    find(gl, "cgGLDisableProfile", f.glDisableProfile);
    find(gl, "cgGLSetMatrixParameterfc", f.glSetMatrixParameterfc);
    if (!f.hasOpenGL())
        zu::core::zuLog(zu::core::ELL_WARNING,
                        "Cg runtime for OpenGL not found (%s): Cg shader materials are not "
                        "available to the OpenGL driver",
                        kOpenGLLibrary);
#ifdef _WIN32
    void* d3d9 = openLibrary(kDirect3D9Library);
    find(d3d9, "cgD3D9GetLatestVertexProfile", f.d3d9GetLatestVertexProfile);
    find(d3d9, "cgD3D9GetLatestPixelProfile", f.d3d9GetLatestPixelProfile);
    find(d3d9, "cgD3D9GetOptimalOptions", f.d3d9GetOptimalOptions);
    find(d3d9, "cgD3D9LoadProgram", f.d3d9LoadProgram);
    find(d3d9, "cgD3D9UnloadProgram", f.d3d9UnloadProgram);
    find(d3d9, "cgD3D9BindProgram", f.d3d9BindProgram);
    find(d3d9, "cgD3D9SetDevice", f.d3d9SetDevice);
    find(d3d9, "cgD3D9SetUniformMatrix", f.d3d9SetUniformMatrix);
    if (!f.hasDirect3D9())
        zu::core::zuLog(zu::core::ELL_WARNING,
                        "Cg runtime for Direct3D 9 not found (%s): Cg shader materials are not "
                        "available to the Direct3D 9 driver",
                        kDirect3D9Library);
#endif
}

} // namespace

const SCgFunctions* CCgRuntime::get()
{
    if (g_replacement) return g_replacement;
    SLoaded& state = loaded();
    if (!state.tried) load(state);
    return state.present ? &state.functions : nullptr;
}

void CCgRuntime::replace(const SCgFunctions* table)
{
    g_replacement = table;
}

} // namespace kelvo::video
