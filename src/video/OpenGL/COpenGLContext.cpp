#include "video/OpenGL/COpenGLContext.h"

#include "core/Output.h"

#include <GL/glew.h>
#include <SDL.h>

namespace kelvo::video
{
namespace
{

void requestAttributes(bool stencil)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencil ? 1 : 0);
}

} // namespace

COpenGLContext::COpenGLContext(SDL_Window* window, bool stencil, bool vsync)
    : m_window(window), m_stencil(stencil)
{
    if (!m_window)
    {
        zu::core::zuLogText("Cannot create a GL device context.", zu::core::ELL_ERROR);
        return;
    }
    for (int attempt = 0; attempt < 2 && !m_context; ++attempt)
    {
        if (attempt == 1)
        {
            if (!m_stencil)
                break;
            zu::core::zuLogText(
                "Cannot create a GL device with stencil buffer, disabling stencil shadows.",
                zu::core::ELL_WARNING);
            m_stencil = false;
        }
        requestAttributes(m_stencil);
        m_context = SDL_GL_CreateContext(m_window);
        if (!m_context)
            zu::core::zuLog(zu::core::ELL_ERROR, "Cannot create a GL rendering context. (%s)",
                            SDL_GetError());
        else if (SDL_GL_MakeCurrent(m_window, m_context) != 0)
        {
            zu::core::zuLogText("Cannot activate GL rendering context", zu::core::ELL_ERROR);
            SDL_GL_DeleteContext(m_context);
            m_context = nullptr;
        }
    }
    if (!m_context)
    {
        zu::core::zuLogText("Cannot create a GL device context.", zu::core::ELL_ERROR);
        return;
    }

    // Debian's GLEW looks for a GLX display; on EGL (no X server) it reports
    // that, but the entry points are loaded all the same.
    glewExperimental = GL_TRUE;
    GLenum glew = glewInit();
    if (glew != GLEW_OK && glew != 4 /* GLEW_ERROR_NO_GLX_DISPLAY */)
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "Cannot load the GL extensions: %s",
                        reinterpret_cast<const char*>(glewGetErrorString(glew)));
        SDL_GL_DeleteContext(m_context);
        m_context = nullptr;
        return;
    }
    // A refused swap interval (a virtual X server, say) is not an error.
    SDL_GL_SetSwapInterval(vsync ? 1 : 0);

    const char* vendor = reinterpret_cast<const char*>(glGetString(GL_VENDOR));
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (vendor && renderer)
        zu::core::zuLog(zu::core::ELL_INFORMATION, "%s: %s", renderer, vendor);
}

COpenGLContext::~COpenGLContext()
{
    if (m_context)
    {
        SDL_GL_MakeCurrent(m_window, nullptr);
        SDL_GL_DeleteContext(m_context);
    }
}

} // namespace kelvo::video
