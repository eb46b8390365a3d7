#include "platform/CCursorControlSDL.h"

#include <SDL.h>

namespace kelvo
{

CCursorControlSDL::CCursorControlSDL(SDL_Window* window, zu::core::SDimension2i size)
    : m_window(window)
{
    setWindowSize(size);
}

void CCursorControlSDL::setWindowSize(zu::core::SDimension2i size)
{
    m_size = size;
    m_invWidth = size.width > 0 ? 1.f / static_cast<float>(size.width) : 0.f;
    m_invHeight = size.height > 0 ? 1.f / static_cast<float>(size.height) : 0.f;
}

void CCursorControlSDL::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void CCursorControlSDL::setPosition(int x, int y)
{
    m_position = {x, y};
    if (m_window)
        SDL_WarpMouseInWindow(m_window, x, y);
}

void CCursorControlSDL::setPositionRelative(float x, float y)
{
    setPosition(static_cast<int>(static_cast<float>(m_size.width) * x),
                static_cast<int>(static_cast<float>(m_size.height) * y));
}

zu::SCursorPosition CCursorControlSDL::getPosition()
{
    // The global position minus the client area's corner is right even while
    // another window has the mouse.
    int gx = 0, gy = 0, wx = 0, wy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    if (m_window)
        SDL_GetWindowPosition(m_window, &wx, &wy);
    m_position = {gx - wx, gy - wy};
    return m_position;
}

zu::SCursorPositionF CCursorControlSDL::getRelativePosition()
{
    zu::SCursorPosition p = getPosition();
    return {static_cast<float>(p.x) * m_invWidth, static_cast<float>(p.y) * m_invHeight};
}

} // namespace kelvo
