// IKelvoHost: what the kelvo table needs from the program that runs the
// script: its device, its print console and the last cursor position. The
// script manager implements it.
#pragma once

#include "core/CString.h"

namespace zu
{
class IKelvoDevice;
}

namespace zu::lua
{

class IKelvoHost
{
  public:
    virtual ~IKelvoHost() = default;

    // May be null (tools and tests run scripts without one).
    virtual IKelvoDevice* getDevice() const = 0;
    // Appends one line to the print console and logs it.
    virtual void addPrintLine(const core::CString& line) = 0;
    virtual void clearPrint() = 0;
    // The cursor position of the last mouse-move event.
    virtual int getMouseX() const = 0;
    virtual int getMouseY() const = 0;
};

} // namespace zu::lua
