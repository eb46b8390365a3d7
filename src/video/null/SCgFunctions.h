// SCgFunctions: the entry points of the Cg runtime that the Cg materials
// call, as a table filled at run time (the runtime is an optional library).
// Handles are the runtime's opaque pointers; its enumerations are passed as
// int, which is how the C interface passes them. The OpenGL part comes from
// the runtime's OpenGL library and is null when that is absent.
#pragma once

namespace kelvo::video
{

using CGcontext = struct _CGcontext*;
using CGprogram = struct _CGprogram*;
using CGparameter = struct _CGparameter*;

// The runtime's enumerator values this system uses.
constexpr int CG_NO_ERROR = 0;
constexpr int CG_PROGRAM = 4109;
constexpr int CG_SOURCE = 4112;
constexpr int CG_OBJECT = 4113;
constexpr int CG_GL_VERTEX = 8;
constexpr int CG_GL_FRAGMENT = 9;

struct SCgFunctions
{
    CGcontext (*createContext)() = nullptr;
    void (*destroyContext)(CGcontext) = nullptr;
    int (*getError)() = nullptr;
    const char* (*getErrorString)(int error) = nullptr;
    CGprogram (*createProgram)(CGcontext, int programType, const char* text, int profile,
                               const char* entry, const char** args) = nullptr;
    void (*destroyProgram)(CGprogram) = nullptr;
    CGparameter (*getNamedParameter)(CGprogram, const char* name) = nullptr;
    CGparameter (*getFirstParameter)(CGprogram, int nameSpace) = nullptr;
    CGparameter (*getNextParameter)(CGparameter) = nullptr;
    const char* (*getParameterName)(CGparameter) = nullptr;
    int (*getParameterRows)(CGparameter) = nullptr;
    int (*getParameterColumns)(CGparameter) = nullptr;
    void (*setParameterValuefr)(CGparameter, int count, const float* values) = nullptr;

    // OpenGL.
    int (*glGetLatestProfile)(int profileClass) = nullptr;
    void (*glSetOptimalOptions)(int profile) = nullptr;
    void (*glLoadProgram)(CGprogram) = nullptr;
    void (*glBindProgram)(CGprogram) = nullptr;
    void (*glUnbindProgram)(int profile) = nullptr;
    void (*glEnableProfile)(int profile) = nullptr;
    void (*glDisableProfile)(int profile) = nullptr;
    void (*glSetMatrixParameterfc)(CGparameter, const float* matrix) = nullptr;
    // Direct3D 9 (Windows only). Results are HRESULTs; the device and the
    // matrix are the API's own types, passed untyped here.
    int (*d3d9GetLatestVertexProfile)() = nullptr;
    int (*d3d9GetLatestPixelProfile)() = nullptr;
    const char** (*d3d9GetOptimalOptions)(int profile) = nullptr;
    long (*d3d9LoadProgram)(CGprogram, int parameterShadowing, unsigned long assemblyFlags) = nullptr;
    long (*d3d9UnloadProgram)(CGprogram) = nullptr;
    long (*d3d9BindProgram)(CGprogram) = nullptr;
    long (*d3d9SetDevice)(void* device) = nullptr;
    long (*d3d9SetUniformMatrix)(CGparameter, const void* matrix) = nullptr;

    bool hasCore() const
    {
        return createContext && destroyContext && getError && getErrorString && createProgram &&
               destroyProgram && getNamedParameter && getFirstParameter && getNextParameter &&
               getParameterName && getParameterRows && getParameterColumns && setParameterValuefr;
    }
    bool hasOpenGL() const
    {
        return glGetLatestProfile && glSetOptimalOptions && glLoadProgram && glBindProgram &&
               glUnbindProgram && glEnableProfile && glDisableProfile && glSetMatrixParameterfc;
    }
    bool hasDirect3D9() const
    {
        return d3d9GetLatestVertexProfile && d3d9GetLatestPixelProfile && d3d9GetOptimalOptions &&
               d3d9LoadProgram && d3d9UnloadProgram && d3d9BindProgram && d3d9SetDevice &&
               d3d9SetUniformMatrix;
    }
};

} // namespace kelvo::video
