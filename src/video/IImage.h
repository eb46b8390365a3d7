// IImage: a block of pixels in memory in one of four colour formats, rows top
// to bottom without padding. Textures, sprite pages and screenshots are made
// from images.
#pragma once

#include "core/IUnknown.h"
#include "core/SDimension.h"

#include <cstdint>

namespace zu::video
{

// The values are part of the interface: sprite pages, render targets and
// scripts use them.
enum ECOLOR_FORMAT : int32_t
{
    ECF_A1R5G5B5 = 0,
    ECF_R5G6B5 = 1,
    ECF_R8G8B8 = 2,
    ECF_A8R8G8B8 = 0x8101800
};

class IImage : public virtual IUnknown
{
public:
    virtual void* lock() = 0;
    virtual void unlock() = 0;
    virtual core::SDimension2i getSize() const = 0;
    virtual int32_t getBitsPerPixel() const = 0;
    virtual int32_t getBytesPerPixel() const = 0;
    virtual uint32_t getByteCount() const = 0;
    virtual uint32_t getPixelCount() const = 0;
    // ARGB colour of a pixel; 0 outside the image and for R5G6B5 images.
    virtual uint32_t getPixel(int32_t x, int32_t y) const = 0;
    virtual ECOLOR_FORMAT getColorFormat() const = 0;
    virtual uint32_t getRedMask() const = 0;
    virtual uint32_t getGreenMask() const = 0;
    virtual uint32_t getBlueMask() const = 0;
    virtual uint32_t getAlphaMask() const = 0;
};

} // namespace zu::video
