#include "video/null/CCgRuntime.h"

#include "core/Output.h"

#include <dlfcn.h>

namespace kelvo::video
{
namespace
{

const char* const kCoreLibrary = "libCg.so";
const char* const kOpenGLLibrary = "libCgGL.so";

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
    out = library ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
}

void load(SLoaded& state)
{
    state.tried = true;
    // The libraries stay loaded for the life of the process: materials made
    // from them live until the driver goes.
    void* core = dlopen(kCoreLibrary, RTLD_NOW | RTLD_LOCAL);
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
    void* gl = dlopen(kOpenGLLibrary, RTLD_NOW | RTLD_LOCAL);
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
