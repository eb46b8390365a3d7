// IImageLoader: reads one image file format. The driver asks its loaders in
// turn, first by name, then by content.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

namespace zu::io
{
class IReadFile;
}

namespace zu::video
{

class IImage;

class IImageLoader : public virtual IUnknown
{
public:
    virtual bool acceptsName(const core::CString& fileName) const = 0;
    // Looks at the bytes from the file's current position.
    virtual bool acceptsContent(io::IReadFile* file) const = 0;
    // An image (to drop) or null; failures are logged.
    virtual IImage* load(io::IReadFile* file) const = 0;
};

} // namespace zu::video
