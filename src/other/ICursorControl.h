// ICursorControl: the system cursor over the device's window.
#pragma once

#include "core/IUnknown.h"

namespace zu
{

struct SCursorPosition
{
    int x = 0;
    int y = 0;
};

struct SCursorPositionF
{
    float x = 0.f;
    float y = 0.f;
};

class ICursorControl : public virtual IUnknown
{
public:
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    // Client pixels.
    virtual void setPosition(int x, int y) = 0;
    // Fractions of the window size.
    virtual void setPositionRelative(float x, float y) = 0;
    virtual SCursorPosition getPosition() = 0;
    virtual SCursorPositionF getRelativePosition() = 0;
};

} // namespace zu
