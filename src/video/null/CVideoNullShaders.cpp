// The shader-material factory of the shared driver base: the file and stream
// variants of the creation chain, which only prepare the program texts, the
// null driver's refusals of the text variants, registering what a drawing
// driver built, and the driver's Cg context.
#include "video/null/CVideoNull.h"

#include "core/Output.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "video/IMaterialRenderer.h"

#include <vector>

using zu::core::CString;
using zu::core::ELL_INFORMATION;
using zu::core::ELL_WARNING;
using zu::core::zuLog;
using zu::io::IReadFile;
using zu::video::IShaderConstantSetCallBack;

namespace kelvo::video
{
namespace
{

// Program files are read whole; a program is text and never this large.
constexpr int32_t kMaxProgramSize = 16 << 20;

// A name that names no file: empty, or "0" (what a material without a
// vertex program of its own passes).
bool namesFile(const CString& name)
{
    return !name.empty() && name != "0";
}

// Opens the named files of a material. A named file that cannot be opened
// is reported and fails the whole creation.
class CProgramFiles
{
  public:
    CProgramFiles(zu::io::IFileSystem* fs, const CString& vertexName, const CString& pixelName)
    {
        if (namesFile(vertexName))
        {
            vertex = fs ? fs->createAndOpenFile(vertexName) : nullptr;
            if (!vertex)
            {
                zuLog(ELL_WARNING, "Could not open vertex shader program file: %s",
                      vertexName.c_str());
                return;
            }
        }
        if (namesFile(pixelName))
        {
            pixel = fs ? fs->createAndOpenFile(pixelName) : nullptr;
            if (!pixel)
            {
                zuLog(ELL_WARNING, "Could not open pixel shader program file: %s",
                      pixelName.c_str());
                zu::dropAndClear(vertex);
                return;
            }
        }
        opened = true;
    }
    ~CProgramFiles()
    {
        zu::dropAndClear(vertex);
        zu::dropAndClear(pixel);
    }
    CProgramFiles(const CProgramFiles&) = delete;
    CProgramFiles& operator=(const CProgramFiles&) = delete;

    bool opened = false;
    IReadFile* vertex = nullptr;
    IReadFile* pixel = nullptr;
};

// The whole file as zero-terminated text; empty for no file or an empty one.
std::vector<char> readProgram(IReadFile* file)
{
    std::vector<char> text;
    const int32_t size = file ? file->getSize() : 0;
    if (size <= 0 || size > kMaxProgramSize) return text;
    text.assign(size_t(size) + 1, '\0');
    file->seek(0);
    const int32_t got = file->read(text.data(), uint32_t(size));
    text.resize(size_t(got > 0 ? got : 0) + 1);
    text.back() = '\0';
    if (got <= 0) text.clear();
    return text;
}

CString asText(const std::vector<char>& text)
{
    return text.empty() ? CString() : CString(text.data(), text.size() - 1);
}

} // namespace

// ---------------------------------------------------------------- high-level programs

int32_t CVideoNull::createHighLevelMaterial(const CString&, const CString&, const CString&,
                                            const CString&, const CString&, const CString&,
                                            IShaderConstantSetCallBack*, int32_t, int32_t)
{
    zu::core::zuLogText("High level shader materials not available (yet) in this driver, sorry",
                        ELL_INFORMATION);
    return -1;
}

int32_t CVideoNull::createHighLevelMaterialFromStreams(
    IReadFile* vertexFile, const CString& vertexEntry, const CString& vertexTarget,
    IReadFile* pixelFile, const CString& pixelEntry, const CString& pixelTarget,
    IShaderConstantSetCallBack* callback, int32_t baseMaterial, int32_t userData)
{
    return createHighLevelMaterial(asText(readProgram(vertexFile)), vertexEntry, vertexTarget,
                                   asText(readProgram(pixelFile)), pixelEntry, pixelTarget,
                                   callback, baseMaterial, userData);
}

int32_t CVideoNull::createHighLevelMaterialFromFiles(
    const CString& vertexName, const CString& vertexEntry, const CString& vertexTarget,
    const CString& pixelName, const CString& pixelEntry, const CString& pixelTarget,
    IShaderConstantSetCallBack* callback, int32_t baseMaterial, int32_t userData)
{
    CProgramFiles files(m_fileSystem, vertexName, pixelName);
    if (!files.opened) return -1;
    return createHighLevelMaterialFromStreams(files.vertex, vertexEntry, vertexTarget, files.pixel,
                                              pixelEntry, pixelTarget, callback, baseMaterial,
                                              userData);
}

// ---------------------------------------------------------------- assembly programs

int32_t CVideoNull::createProgramMaterial(const CString&, const CString&,
                                          IShaderConstantSetCallBack*, int32_t, int32_t)
{
    zu::core::zuLogText("Shader materials not implemented yet in this driver, sorry.",
                        ELL_INFORMATION);
    return -1;
}

int32_t CVideoNull::createProgramMaterialFromFiles(const CString& vertexName,
                                                   const CString& pixelName,
                                                   IShaderConstantSetCallBack* callback,
                                                   int32_t baseMaterial, int32_t userData)
{
    CProgramFiles files(m_fileSystem, vertexName, pixelName);
    if (!files.opened) return -1;
    return createProgramMaterialFromStreams(files.vertex, files.pixel, callback, baseMaterial,
                                            userData);
}

int32_t CVideoNull::createProgramMaterialFromStreams(IReadFile* vertexFile, IReadFile* pixelFile,
                                                     IShaderConstantSetCallBack* callback,
                                                     int32_t baseMaterial, int32_t userData)
{
    return createProgramMaterial(asText(readProgram(vertexFile)), asText(readProgram(pixelFile)),
                                 callback, baseMaterial, userData);
}

// ---------------------------------------------------------------- Cg programs

int32_t CVideoNull::createCgMaterial(const char*, const CString&, const char*, const CString&,
                                     IShaderConstantSetCallBack*, int32_t, bool, int32_t)
{
    zu::core::zuLogText("CG Shaders not available yet", ELL_INFORMATION);
    return -1;
}

int32_t CVideoNull::createCgMaterialFromStreams(IReadFile* vertexFile, const CString& vertexEntry,
                                                IReadFile* pixelFile, const CString& pixelEntry,
                                                IShaderConstantSetCallBack* callback,
                                                int32_t baseMaterial, bool compiled,
                                                int32_t userData)
{
    const std::vector<char> vertex = readProgram(vertexFile);
    const std::vector<char> pixel = readProgram(pixelFile);
    return createCgMaterial(vertex.empty() ? nullptr : vertex.data(), vertexEntry,
                            pixel.empty() ? nullptr : pixel.data(), pixelEntry, callback,
                            baseMaterial, compiled, userData);
}

int32_t CVideoNull::createCgMaterialFromFiles(const CString& vertexName, const CString& vertexEntry,
                                              const CString& pixelName, const CString& pixelEntry,
                                              IShaderConstantSetCallBack* callback,
                                              int32_t baseMaterial, bool compiled, int32_t userData)
{
    CProgramFiles files(m_fileSystem, vertexName, pixelName);
    if (!files.opened) return -1;
    return createCgMaterialFromStreams(files.vertex, vertexEntry, files.pixel, pixelEntry, callback,
                                       baseMaterial, compiled, userData);
}

// ---------------------------------------------------------------- shared by the drivers

int32_t CVideoNull::registerShaderRenderer(zu::video::IMaterialRenderer* renderer, bool built)
{
    const int32_t type = built ? addRenderer(renderer) : -1;
    renderer->drop();
    return type;
}

bool CVideoNull::hasProgramText(bool vertex, bool pixel)
{
    if (vertex || pixel) return true;
    zu::core::zuLogText("Shader material without a program: both program texts are empty",
                        ELL_WARNING);
    return false;
}

CGcontext CVideoNull::getCgContext(const SCgFunctions* cg)
{
    if (!cg) return nullptr;
    // A context belongs to the runtime that made it (tests swap runtimes).
    if (m_cgContext && m_cgContextRuntime != cg)
    {
        m_cgContextRuntime->destroyContext(m_cgContext);
        m_cgContext = nullptr;
    }
    if (!m_cgContext)
    {
        m_cgContext = cg->createContext();
        m_cgContextRuntime = m_cgContext ? cg : nullptr;
    }
    return m_cgContext;
}

} // namespace kelvo::video
