// CD3DXLibrary: the D3DX functions the Direct3D 9 driver uses, looked up at
// run time in "d3dx9_43.dll". The library is optional: each function is
// looked up on its first use, a missing one is reported once and its
// callers refuse from then on.
#pragma once

#include <d3dx9shader.h>

namespace kelvo::video
{

class CD3DXLibrary
{
  public:
    using CompileFunction = HRESULT(WINAPI*)(LPCSTR, UINT, const D3DXMACRO*, LPD3DXINCLUDE, LPCSTR,
                                             LPCSTR, DWORD, LPD3DXBUFFER*, LPD3DXBUFFER*,
                                             LPD3DXCONSTANTTABLE*);
    using AssembleFunction = HRESULT(WINAPI*)(LPCSTR, UINT, const D3DXMACRO*, LPD3DXINCLUDE, DWORD,
                                              LPD3DXBUFFER*, LPD3DXBUFFER*);

    // "D3DXCompileShader" and "D3DXAssembleShader", or null (logged once).
    static CompileFunction compileShader();
    static AssembleFunction assembleShader();
    // The library's file name, "d3dx9_" + 43 + ".dll".
    static const char* libraryName();
    // Tests name another library (null: the real one again); the functions
    // are looked up afresh.
    static void setLibraryName(const char* name);
};

} // namespace kelvo::video
