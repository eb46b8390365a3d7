// IFileList: the entries of one folder, on disk or inside an archive.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>

namespace zu::io
{

class IFileList : public virtual IUnknown
{
public:
    virtual int32_t getFileCount() const = 0;
    // The simple name; empty outside 0 .. count - 1.
    virtual core::CString getFileName(int32_t index) const = 0;
    // The folder path joined to the simple name.
    virtual core::CString getFullFileName(int32_t index) const = 0;
    virtual bool isDirectory(int32_t index) const = 0;
};

} // namespace zu::io
