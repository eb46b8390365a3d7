// ISpritePackage: a sprite package (texture pages and animations) as the
// driver's cache keeps it. The package format itself lives with the sprites.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

namespace zu::io
{
class IReadFile;
}

namespace zu::video
{

class ISpritePackage : public virtual IUnknown
{
public:
    // Reads the whole package; false when the file is not a usable package.
    virtual bool read(io::IReadFile* file, const core::CString& name) = 0;
};

} // namespace zu::video
