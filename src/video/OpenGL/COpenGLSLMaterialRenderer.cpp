#include "video/OpenGL/COpenGLSLMaterialRenderer.h"

#include "core/Output.h"
#include "video/OpenGL/CVideoOpenGL.h"

#include <GL/glew.h>

#include <cmath>
#include <cstring>
#include <vector>

using zu::core::CString;
using zu::core::ELL_INFORMATION;
using zu::video::MaterialState;

namespace kelvo::video
{
namespace
{

// Integer, boolean and sampler uniforms take the nearest whole number.
GLint toInteger(float value)
{
    if (!(value == value)) return 0;
    if (value >= 2147483520.f) return 2147483520;
    if (value <= -2147483520.f) return -2147483520;
    return GLint(std::lround(value));
}

void logInfoLog(GLuint object, bool program)
{
    GLint length = 0;
    if (program)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0) return;
    std::vector<GLchar> text(size_t(length) + 1, '\0');
    if (program)
        glGetProgramInfoLog(object, length, nullptr, text.data());
    else
        glGetShaderInfoLog(object, length, nullptr, text.data());
    zu::core::zuLogText(text.data(), ELL_INFORMATION);
}

} // namespace

COpenGLSLMaterialRenderer::COpenGLSLMaterialRenderer(
    CVideoOpenGL* driver, zu::video::IShaderConstantSetCallBack* callback, int32_t baseMaterial,
    int32_t userData)
    : CShaderMaterialRenderer(driver, callback, baseMaterial, userData), m_glDriver(driver)
{
}

COpenGLSLMaterialRenderer::~COpenGLSLMaterialRenderer()
{
    if (m_program) glDeleteProgram(m_program);
    m_uniforms.clear();
}

bool COpenGLSLMaterialRenderer::build(const CString& vertexText, const CString& pixelText)
{
    if (!m_glDriver->hasFeature(18) || !m_glDriver->hasFeature(16) || !m_glDriver->hasFeature(17))
        return false;
    if (!GLEW_VERSION_2_0)
    {
        zu::core::zuLogText("GLSL shader materials are not supported by this OpenGL driver",
                            zu::core::ELL_WARNING);
        return false;
    }
    m_program = glCreateProgram();
    if (!vertexText.empty() && !compile(GL_VERTEX_SHADER, vertexText)) return false;
    if (!pixelText.empty() && !compile(GL_FRAGMENT_SHADER, pixelText)) return false;
    glLinkProgram(m_program);
    GLint linked = GL_FALSE;
    glGetProgramiv(m_program, GL_LINK_STATUS, &linked);
    if (!linked)
    {
        zu::core::zuLogText("GLSL shader program failed to link", ELL_INFORMATION);
        logInfoLog(m_program, true);
        return false;
    }
    return readUniforms();
}

bool COpenGLSLMaterialRenderer::compile(unsigned kind, const CString& text)
{
    const GLuint shader = glCreateShader(kind);
    const GLchar* source = text.c_str();
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled)
    {
        zu::core::zuLogText("GLSL shader failed to compile", ELL_INFORMATION);
        logInfoLog(shader, false);
        glDeleteShader(shader);
        return false;
    }
    glAttachShader(m_program, shader);
    // Only flagged: it goes with the program.
    glDeleteShader(shader);
    return true;
}

bool COpenGLSLMaterialRenderer::readUniforms()
{
    m_uniforms.clear();
    GLint count = 0;
    glGetProgramiv(m_program, GL_ACTIVE_UNIFORMS, &count);
    if (count <= 0) return true;
    GLint longest = 0;
    glGetProgramiv(m_program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    if (longest <= 0)
    {
        zu::core::zuLogText("GLSL: failed to retrieve uniform information", ELL_INFORMATION);
        return false;
    }
    std::vector<GLchar> name(size_t(longest) + 1);
    for (GLint i = 0; i < count; ++i)
    {
        std::fill(name.begin(), name.end(), '\0');
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(m_program, GLuint(i), longest, &length, &size, &type, name.data());
        m_uniforms.push_back(
            {CString(name.data(), size_t(length > 0 ? length : 0)), type, size > 0 ? size : 1});
    }
    return true;
}

void COpenGLSLMaterialRenderer::bind(const MaterialState& material,
                                     const MaterialState& lastMaterial, bool resetAll,
                                     zu::video::IMaterialRendererServices*)
{
    m_glDriver->setTexture(1, material.Textures[1]);
    m_glDriver->setTexture(0, material.Textures[0]);
    m_glDriver->setBasicRenderStates(material, lastMaterial, resetAll);
    if (isSwitching(material, lastMaterial, resetAll))
    {
        if (m_program) glUseProgram(m_program);
        bindBase(material, this);
        // A transparent base takes the second stage away; the shader's own
        // textures stay (a post-processing pass samples both).
        m_glDriver->setTexture(1, material.Textures[1]);
        m_glDriver->setTexture(0, material.Textures[0]);
    }
    setBasicRenderStates(material, lastMaterial, resetAll);
}

bool COpenGLSLMaterialRenderer::beforeDraw(zu::video::IMaterialRendererServices*, int)
{
    if (m_program) callConstants(this, m_userData);
    return true;
}

void COpenGLSLMaterialRenderer::unbind()
{
    glUseProgram(0);
    unbindBase();
}

void COpenGLSLMaterialRenderer::setBasicRenderStates(const MaterialState& material,
                                                     const MaterialState& lastMaterial,
                                                     bool resetAllRenderStates)
{
    m_glDriver->setBasicRenderStates(material, lastMaterial, resetAllRenderStates);
}

zu::video::IVideoDriver* COpenGLSLMaterialRenderer::getVideoDriver()
{
    return m_glDriver;
}

void COpenGLSLMaterialRenderer::setVertexShaderConstant(const float*, int32_t, int32_t)
{
    zu::core::zuLogText("Cannot set constant, please use high level shader call instead.",
                        ELL_INFORMATION);
}

void COpenGLSLMaterialRenderer::setPixelShaderConstant(const float*, int32_t, int32_t)
{
    zu::core::zuLogText("Cannot set constant, use high level shader call.", ELL_INFORMATION);
}

bool COpenGLSLMaterialRenderer::setVertexShaderConstant(const char* name, const float* floats,
                                                        int32_t count)
{
    return setPixelShaderConstant(name, floats, count);
}

const COpenGLSLMaterialRenderer::SUniform*
COpenGLSLMaterialRenderer::findUniform(const char* name) const
{
    if (!name) return nullptr;
    const size_t length = strlen(name);
    for (const SUniform& uniform : m_uniforms)
    {
        if (uniform.name == name) return &uniform;
        // Arrays are reported as "name[0]"; scripts name them bare.
        const CString& u = uniform.name;
        if (u.size() == length + 3 && u.endsWith("[0]") && memcmp(u.data(), name, length) == 0)
            return &uniform;
    }
    return nullptr;
}

bool COpenGLSLMaterialRenderer::setPixelShaderConstant(const char* name, const float* floats,
                                                       int32_t count)
{
    const SUniform* uniform = findUniform(name);
    if (!uniform) return false;
    if (!floats || count <= 0 || !m_program) return true;
    const GLint location = glGetUniformLocation(m_program, uniform->name.c_str());
    if (location < 0) return true;
    // Whole elements only, and never more than the uniform holds.
    auto elements = [&](int32_t per)
    {
        const int32_t n = count / per;
        return GLsizei(n < uniform->size ? n : uniform->size);
    };
    switch (uniform->type)
    {
    case GL_FLOAT:
        glUniform1fv(location, elements(1), floats);
        break;
    case GL_FLOAT_VEC2:
        glUniform2fv(location, elements(2), floats);
        break;
    case GL_FLOAT_VEC3:
        glUniform3fv(location, elements(3), floats);
        break;
    case GL_FLOAT_VEC4:
        glUniform4fv(location, elements(4), floats);
        break;
    case GL_FLOAT_MAT2:
        glUniformMatrix2fv(location, elements(4), GL_FALSE, floats);
        break;
    case GL_FLOAT_MAT3:
        glUniformMatrix3fv(location, elements(9), GL_FALSE, floats);
        break;
    case GL_FLOAT_MAT4:
        glUniformMatrix4fv(location, elements(16), GL_FALSE, floats);
        break;
    default:
    {
        int32_t per = 1;
        if (uniform->type == GL_INT_VEC2 || uniform->type == GL_BOOL_VEC2)
            per = 2;
        else if (uniform->type == GL_INT_VEC3 || uniform->type == GL_BOOL_VEC3)
            per = 3;
        else if (uniform->type == GL_INT_VEC4 || uniform->type == GL_BOOL_VEC4)
            per = 4;
        const GLsizei n = elements(per);
        std::vector<GLint> values(size_t(n) * size_t(per));
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = toInteger(floats[i]);
        if (per == 2)
            glUniform2iv(location, n, values.data());
        else if (per == 3)
            glUniform3iv(location, n, values.data());
        else if (per == 4)
            glUniform4iv(location, n, values.data());
        else
            glUniform1iv(location, n, values.data());
        break;
    }
    }
    return true;
}

} // namespace kelvo::video
