// IGUIEnvironment: how the rest of the engine reaches the GUI. It receives
// every device input event before anybody else, draws the GUI once per frame
// and owns the skin and the font registry. The environment is created by the
// device once its video driver exists.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"
#include "video/SGeometry.h"

namespace zu::event
{
class IEventReceiver;
struct SEngineEvent;
} // namespace zu::event

namespace zu::video
{
class IVideoDriver;
}

namespace zu::gui
{

class IGUIFont;
class IGUISkin;

class IGUIEnvironment : public virtual IUnknown
{
public:
    // Removes every element.
    virtual void clear() = 0;
    // Draws every element; called once per frame by the host.
    virtual void drawAll() = 0;
    virtual video::IVideoDriver* getVideoDriver() const = 0;
    // True when the GUI consumed the event.
    virtual bool postEventFromUser(const event::SEngineEvent& event) = 0;
    // The receiver of the GUI events that reach the root; not grabbed.
    virtual void setUserEventReceiver(event::IEventReceiver* receiver) = 0;
    virtual IGUISkin* getSkin() const = 0;
    // The font of that file name, loaded on first request and kept until the
    // environment goes; null when it cannot be loaded. A name containing
    // ".fnt" is a sprite-package font, any other an image font. The registry
    // keeps the reference: callers that keep a font grab it.
    virtual IGUIFont* getFont(const core::CString& fileName) = 0;
    // The font built into the executable, or null when it could not be made.
    virtual IGUIFont* getBuiltInFont() const = 0;
    virtual video::SPosition2i getLastMousePosition() const = 0;
};

} // namespace zu::gui
