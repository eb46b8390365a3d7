// CCursorControlSDL: the system cursor over an SDL window, in client pixels.
#pragma once

#include "core/SDimension.h"
#include "other/ICursorControl.h"

struct SDL_Window;

namespace kelvo
{

class CCursorControlSDL : public zu::ICursorControl
{
public:
    CCursorControlSDL(SDL_Window* window, zu::core::SDimension2i size);

    void setVisible(bool visible) override;
    bool isVisible() const override { return m_visible; }
    void setPosition(int x, int y) override;
    void setPositionRelative(float x, float y) override;
    zu::SCursorPosition getPosition() override;
    zu::SCursorPositionF getRelativePosition() override;

    // The size relative positions are measured against; learnt at creation and
    // whenever full-screen mode changes.
    void setWindowSize(zu::core::SDimension2i size);

private:
    SDL_Window* m_window;
    zu::SCursorPosition m_position;
    zu::core::SDimension2i m_size;
    float m_invWidth = 0.f;
    float m_invHeight = 0.f;
    bool m_visible = true;
};

} // namespace kelvo
