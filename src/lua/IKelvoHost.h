// IKelvoHost: what the kelvo table needs from the program that runs the
// script: its device, its print console, the last cursor position and the
// built-in network session. The script manager implements it.
#pragma once

#include "core/CString.h"

namespace zu
{
class IKelvoDevice;
namespace net
{
class CNetSession;
}
} // namespace zu

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
    // The game's built-in session (kelvo.startHost and the rest); null when
    // the program has none.
    virtual net::CNetSession* getNetSession() const { return nullptr; }
};

} // namespace zu::lua
