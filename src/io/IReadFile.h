// IReadFile: a file open for reading, on disk, in memory or inside an archive.
// Sizes and positions are signed 32-bit.
#pragma once

#include "core/CString.h"
#include "core/IUnknown.h"

#include <cstdint>

namespace zu::io
{

class IReadFile : public virtual IUnknown
{
public:
    // Returns the number of bytes read (never negative).
    virtual int32_t read(void* buffer, uint32_t count) = 0;
    // Reads up to and including a line end, like the C library's line reader;
    // returns false at the end of the file. Memory files read nothing.
    virtual bool readLine(char* buffer, int32_t capacity) = 0;
    // Moves to offset (from the start, or from the current position when
    // relative). False, with the position unchanged, when the target is refused.
    virtual bool seek(int32_t offset, bool relative = false) = 0;
    virtual int32_t getSize() const = 0;
    virtual int32_t getPos() const = 0;
    virtual const core::CString& getFileName() const = 0;
    // Modification time in seconds since 1970; 0 for memory files.
    virtual int64_t getLastModified() const = 0;
};

} // namespace zu::io
