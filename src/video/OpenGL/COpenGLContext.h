// COpenGLContext: an OpenGL context on the device's window, with the entry
// points of the extensions loaded. Creation tries twice: first with a stencil
// buffer, then without one. A context that could not be created leaves the
// object invalid, and nothing may call GL through it.
#pragma once

struct SDL_Window;
typedef void* SDL_GLContext;

namespace kelvo::video
{

class COpenGLContext
{
public:
    // Makes the context current on the window.
    COpenGLContext(SDL_Window* window, bool stencil, bool vsync);
    ~COpenGLContext();
    COpenGLContext(const COpenGLContext&) = delete;
    COpenGLContext& operator=(const COpenGLContext&) = delete;

    bool isValid() const { return m_context != nullptr; }
    bool hasStencil() const { return m_stencil; }

private:
    SDL_Window* m_window;
    SDL_GLContext m_context = nullptr;
    bool m_stencil;
};

} // namespace kelvo::video
