#include "video/OpenGL/COpenGLShaderMaterialRenderer.h"

#include "core/Output.h"
#include "video/IMaterialRendererServices.h"
#include "video/OpenGL/CVideoOpenGL.h"

#include <GL/glew.h>

using zu::video::MaterialState;

namespace kelvo::video
{

COpenGLShaderMaterialRenderer::COpenGLShaderMaterialRenderer(
    CVideoOpenGL* driver, zu::video::IShaderConstantSetCallBack* callback, int32_t baseMaterial,
    int32_t userData)
    : CShaderMaterialRenderer(driver, callback, baseMaterial, userData)
{
}

COpenGLShaderMaterialRenderer::~COpenGLShaderMaterialRenderer()
{
    if (m_vertexProgram) glDeleteProgramsARB(1, &m_vertexProgram);
    if (m_pixelProgram) glDeleteProgramsARB(1, &m_pixelProgram);
}

bool COpenGLShaderMaterialRenderer::build(const zu::core::CString& vertexText,
                                          const zu::core::CString& pixelText)
{
    if (!GLEW_ARB_vertex_program || !GLEW_ARB_fragment_program)
    {
        zu::core::zuLogText("Assembly shader programs are not supported by this OpenGL driver",
                            zu::core::ELL_WARNING);
        return false;
    }
    if (!vertexText.empty() && !load(GL_VERTEX_PROGRAM_ARB, vertexText, m_vertexProgram,
                                     "Vertex shader compilation failed at position %d:\n%s"))
        return false;
    return pixelText.empty() || load(GL_FRAGMENT_PROGRAM_ARB, pixelText, m_pixelProgram,
                                     "Pixel shader compilation failed at position %d:\n%s");
}

bool COpenGLShaderMaterialRenderer::load(unsigned target, const zu::core::CString& text,
                                         unsigned& program, const char* failure)
{
    glGenProgramsARB(1, &program);
    glBindProgramARB(target, program);
    // Errors left by earlier calls are not this program's.
    while (glGetError() != GL_NO_ERROR)
    {
    }
    glProgramStringARB(target, GL_PROGRAM_FORMAT_ASCII_ARB, GLsizei(text.size()), text.data());
    const bool failed = glGetError() != GL_NO_ERROR;
    glBindProgramARB(target, 0);
    if (!failed) return true;
    GLint position = -1;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
    const GLubyte* message = glGetString(GL_PROGRAM_ERROR_STRING_ARB);
    zu::core::zuLog(zu::core::ELL_INFORMATION, failure, int(position),
                    message ? reinterpret_cast<const char*>(message) : "");
    return false;
}

void COpenGLShaderMaterialRenderer::bind(const MaterialState& material,
                                         const MaterialState& lastMaterial, bool resetAll,
                                         zu::video::IMaterialRendererServices* services)
{
    if (isSwitching(material, lastMaterial, resetAll))
    {
        if (m_vertexProgram)
        {
            glBindProgramARB(GL_VERTEX_PROGRAM_ARB, m_vertexProgram);
            glEnable(GL_VERTEX_PROGRAM_ARB);
        }
        if (m_pixelProgram)
        {
            glBindProgramARB(GL_FRAGMENT_PROGRAM_ARB, m_pixelProgram);
            glEnable(GL_FRAGMENT_PROGRAM_ARB);
        }
        // Local parameters belong to the program bound to their target, so
        // the constants are set once the programs are bound.
        callConstants(services, m_userData);
        bindBase(material, services);
    }
    services->setBasicRenderStates(material, lastMaterial, resetAll);
}

void COpenGLShaderMaterialRenderer::unbind()
{
    if (m_vertexProgram) glDisable(GL_VERTEX_PROGRAM_ARB);
    if (m_pixelProgram) glDisable(GL_FRAGMENT_PROGRAM_ARB);
    unbindBase();
}

} // namespace kelvo::video
