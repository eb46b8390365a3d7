// IWriteFile: a file open for writing, on disk or in memory.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>

namespace zu::io
{

class IWriteFile : public virtual IUnknown
{
public:
    // Returns the number of bytes written.
    virtual int32_t write(const void* data, uint32_t count) = 0;
    virtual bool seek(int32_t offset, bool relative = false) = 0;
    virtual void flush() = 0;
    virtual int32_t getPos() const = 0;
    virtual const core::CString& getFileName() const = 0;
    // The size the file had when it was opened.
    virtual int32_t getOpenSize() const = 0;
};

} // namespace zu::io
