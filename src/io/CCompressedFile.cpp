#include "io/CCompressedFile.h"

#include "core/ByteOrder.h"
#include "io/CMemReadFile.h"
#include "io/IFileSystem.h"
#include "io/IReadFile.h"
#include "io/IWriteFile.h"

#include <memory>
#include <new>
#include <zlib.h>

namespace zu::io
{
IReadFile* CCompressedFile::openRead(IFileSystem* fs, const core::CString& path,
                                     EReadResult* result)
{
    EReadResult status = ERR_OK;
    IReadFile* source = fs->createAndOpenFile(path);
    if (!source) return nullptr;
    uint8_t head[4] = {};
    int64_t length = 0;
    if (source->read(head, 4) == 4) length = int32_t(core::readLE32(head));
    // A stored length beyond what the compressed bytes could expand to cannot
    // be genuine.
    int64_t packedSize = int64_t(source->getSize()) - source->getPos();
    if (packedSize < 0) packedSize = 0;
    if (length < 0 || length > packedSize * int64_t(MAX_DEFLATE_RATIO)) status = ERR_DAMAGED;
    if (length < 0) length = 0;
    if (length > packedSize * int64_t(MAX_DEFLATE_RATIO))
        length = packedSize * int64_t(MAX_DEFLATE_RATIO);

    std::unique_ptr<uint8_t[]> packed(new (std::nothrow) uint8_t[size_t(packedSize)]);
    // Zero-filled, so whatever could not be expanded reads as zeros.
    uint8_t* expanded = new (std::nothrow) uint8_t[size_t(length)]();
    if (!packed || !expanded)
    {
        delete[] expanded;
        source->drop();
        if (result) *result = ERR_TOO_LARGE;
        return new CMemReadFile(nullptr, 0, false);
    }
    int32_t got = packedSize ? source->read(packed.get(), uint32_t(packedSize)) : 0;
    source->drop();
    uint32_t produced = 0;
    if (!fs->uncompressBuffer(expanded, uint32_t(length), packed.get(), uint32_t(got), produced) ||
        produced != uint32_t(length))
        status = ERR_DAMAGED;
    if (result) *result = status;
    return new CMemReadFile(expanded, int32_t(length), true);
}

CCompressedFile::EWriteResult CCompressedFile::write(IFileSystem* fs, const core::CString& path,
                                                     const uint8_t* data, uint32_t size)
{
    // Sized for the worst case, so data that does not shrink (short or random
    // bytes) is stored too.
    uLong bound = compressBound(size);
    std::unique_ptr<uint8_t[]> packed(new (std::nothrow) uint8_t[bound]);
    static const uint8_t nothing = 0;
    const void* source = size ? static_cast<const void*>(data) : &nothing;
    uint32_t packedSize = 0;
    if (!fs || !packed ||
        !fs->compressBuffer(packed.get(), uint32_t(bound), source, size, packedSize))
        return EWR_NOT_COMPRESSED;
    IWriteFile* target = fs->createAndWriteFile(path, false);
    if (!target) return EWR_NOT_CREATED;
    uint8_t header[4];
    core::writeLE32(header, size);
    target->write(header, 4);
    target->write(packed.get(), packedSize);
    target->drop();
    return EWR_OK;
}

} // namespace zu::io
