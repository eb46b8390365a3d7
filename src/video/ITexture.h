// ITexture: a reference-counted texture handle. Its pixel memory is reached
// through lock and committed back to the graphics API by unlock.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"
#include "core/SDimension.h"
#include "video/IImage.h"

namespace zu::video
{

class ITexture : public virtual IUnknown
{
public:
    explicit ITexture(const core::CString& name) : m_name(name) {}

    // Pixel memory, rows of getPitch() bytes; null on failure.
    virtual void* lock() = 0;
    virtual void unlock() = 0;
    // The size of the image the texture was made from.
    virtual core::SDimension2i getSourceSize() const = 0;
    virtual core::SDimension2i getSize() const = 0;
    // 0 null driver, 1 Direct3D 9, 2 OpenGL.
    virtual int32_t getDriverType() const = 0;
    virtual ECOLOR_FORMAT getColorFormat() const = 0;
    virtual int32_t getPitch() const = 0;

    const core::CString& getName() const { return m_name; }

protected:
    core::CString m_name;
};

} // namespace zu::video
