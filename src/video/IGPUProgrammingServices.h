// IGPUProgrammingServices: the factory of shader materials. Every operation
// returns the new material type (the next free index of the driver's
// renderer array) or -1 on failure, with the reason in the log.
//
// Creation goes text -> renderer; the stream variants read whole files into
// texts and the file variants open named files first. An empty text (a file
// not named, or named "0", or empty) leaves that stage to the fixed-function
// pipeline; a material needs at least one program. `baseMaterial` supplies
// the fixed-function states and the transparency of the material (none when
// out of range); `userData` is handed back to the callback.
#pragma once

#include "core/CString.h"

#include <cstdint>

namespace zu::io
{
class IReadFile;
}

namespace zu::video
{

class IShaderConstantSetCallBack;

class IGPUProgrammingServices
{
  public:
    virtual ~IGPUProgrammingServices() = default;

    // High-level programs (GLSL on OpenGL); entries and targets are for
    // drivers that compile per entry point.
    virtual int32_t
    createHighLevelMaterial(const core::CString& vertexText, const core::CString& vertexEntry,
                            const core::CString& vertexTarget, const core::CString& pixelText,
                            const core::CString& pixelEntry, const core::CString& pixelTarget,
                            IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                            int32_t userData) = 0;
    virtual int32_t createHighLevelMaterialFromStreams(
        io::IReadFile* vertexFile, const core::CString& vertexEntry,
        const core::CString& vertexTarget, io::IReadFile* pixelFile,
        const core::CString& pixelEntry, const core::CString& pixelTarget,
        IShaderConstantSetCallBack* callback, int32_t baseMaterial, int32_t userData) = 0;
    virtual int32_t createHighLevelMaterialFromFiles(
        const core::CString& vertexName, const core::CString& vertexEntry,
        const core::CString& vertexTarget, const core::CString& pixelName,
        const core::CString& pixelEntry, const core::CString& pixelTarget,
        IShaderConstantSetCallBack* callback, int32_t baseMaterial, int32_t userData) = 0;

    // Assembly programs (ARB vertex and fragment programs on OpenGL).
    virtual int32_t createProgramMaterial(const core::CString& vertexText,
                                          const core::CString& pixelText,
                                          IShaderConstantSetCallBack* callback,
                                          int32_t baseMaterial, int32_t userData) = 0;
    virtual int32_t createProgramMaterialFromFiles(const core::CString& vertexName,
                                                   const core::CString& pixelName,
                                                   IShaderConstantSetCallBack* callback,
                                                   int32_t baseMaterial, int32_t userData) = 0;
    virtual int32_t createProgramMaterialFromStreams(io::IReadFile* vertexFile,
                                                     io::IReadFile* pixelFile,
                                                     IShaderConstantSetCallBack* callback,
                                                     int32_t baseMaterial, int32_t userData) = 0;

    // Cg programs; the texts may be null. `compiled` says they are
    // precompiled objects rather than source.
    virtual int32_t createCgMaterial(const char* vertexText, const core::CString& vertexEntry,
                                     const char* pixelText, const core::CString& pixelEntry,
                                     IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                                     bool compiled, int32_t userData) = 0;
    virtual int32_t
    createCgMaterialFromStreams(io::IReadFile* vertexFile, const core::CString& vertexEntry,
                                io::IReadFile* pixelFile, const core::CString& pixelEntry,
                                IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                                bool compiled, int32_t userData) = 0;
    virtual int32_t
    createCgMaterialFromFiles(const core::CString& vertexName, const core::CString& vertexEntry,
                              const core::CString& pixelName, const core::CString& pixelEntry,
                              IShaderConstantSetCallBack* callback, int32_t baseMaterial,
                              bool compiled, int32_t userData) = 0;
};

} // namespace zu::video
