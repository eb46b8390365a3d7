// CCompressedFile: the compressed file format of the script file classes:
// the length of the uncompressed data as 4 bytes little-endian, then one zlib
// stream of that data. Files are read whole into memory and written whole.
#pragma once

#include "core/CString.h"

#include <cstdint>

namespace zu::io
{

class IFileSystem;
class IReadFile;

class CCompressedFile
{
  public:
    enum EReadResult
    {
        ERR_OK,
        // The length field or the stream is broken; what could be expanded
        // is kept, the rest reads as zeros.
        ERR_DAMAGED,
        // There is not enough memory to expand it; the file holds nothing.
        ERR_TOO_LARGE
    };

    // Expands the file into a memory file. Nothing in the file is trusted: a
    // file shorter than the length field or with a negative length holds
    // nothing; the length is capped by what the compressed bytes could
    // possibly expand to; bytes that could not be expanded read as zeros.
    // Null only when the file cannot be opened.
    static IReadFile* openRead(IFileSystem* fs, const core::CString& path,
                               EReadResult* result = nullptr);

    enum EWriteResult
    {
        EWR_OK,
        EWR_NOT_COMPRESSED,
        EWR_NOT_CREATED
    };

    // Compresses the bytes into the file, replacing it.
    static EWriteResult write(IFileSystem* fs, const core::CString& path, const uint8_t* data,
                              uint32_t size);
};

} // namespace zu::io
