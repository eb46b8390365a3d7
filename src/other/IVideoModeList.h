// IVideoModeList: the display modes of the primary display, sorted by width,
// height and depth without duplicates, and the desktop mode.
#pragma once

#include "core/IUnknown.h"
#include "core/SDimension.h"

#include <cstdint>

namespace zu
{

class IVideoModeList : public virtual IUnknown
{
public:
    virtual int32_t getModeCount() const = 0;
    // (0, 0) outside 0 .. count - 1.
    virtual core::SDimension2i getModeResolution(int32_t index) const = 0;
    // 0 outside 0 .. count - 1.
    virtual int32_t getModeDepth(int32_t index) const = 0;
    virtual core::SDimension2i getDesktopResolution() const = 0;
    virtual int32_t getDesktopDepth() const = 0;
};

} // namespace zu
