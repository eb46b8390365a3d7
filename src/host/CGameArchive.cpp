#include "host/CGameArchive.h"

#include "core/ByteOrder.h"
#include "io/CLimitReadFile.h"
#include "io/CReadFile.h"
#include "io/CWriteFile.h"
#include "io/CZipReader.h"
#include "platform/COSOperator.h"

#include <cstring>
#include <vector>

namespace pellora
{
namespace
{

using zu::core::CString;

// A fused executable ends with the archive's length (8 bytes, little-endian)
// and this mark.
constexpr char kFuseMark[8] = {'P', 'E', 'L', 'L', 'O', 'R', 'A', 'Z'};
constexpr int32_t kTrailerSize = 16;
const char* const kMain = "pellora/main.lua";

// Copies the whole of `from` to `to`; false on a short read or write.
bool copyAll(zu::io::IReadFile* from, zu::io::IWriteFile* to)
{
    std::vector<uint8_t> buffer(1 << 16);
    from->seek(0);
    for (int32_t left = from->getSize(); left > 0;)
    {
        const int32_t chunk = left < int32_t(buffer.size()) ? left : int32_t(buffer.size());
        if (from->read(buffer.data(), uint32_t(chunk)) != chunk ||
            to->write(buffer.data(), uint32_t(chunk)) != chunk)
            return false;
        left -= chunk;
    }
    return true;
}

} // namespace

bool CGameArchive::openZip(const CString& path, SGameArchive& out, CString& error)
{
    kelvo::io::CReadFile* file = kelvo::io::CReadFile::create(path);
    if (!file)
    {
        error = "cannot open " + path;
        return false;
    }
    out.path = path;
    out.offset = 0;
    out.size = file->getSize();
    file->drop();
    return findRoot(out, error);
}

bool CGameArchive::openFused(const CString& executable, SGameArchive& out, CString& error)
{
    kelvo::io::CReadFile* file = kelvo::io::CReadFile::create(executable);
    if (!file)
        return false;
    uint8_t trailer[kTrailerSize] = {};
    const int32_t total = file->getSize();
    const bool read = total >= kTrailerSize && file->seek(total - kTrailerSize) &&
                      file->read(trailer, kTrailerSize) == kTrailerSize;
    file->drop();
    if (!read || memcmp(trailer + 8, kFuseMark, sizeof kFuseMark) != 0)
        return false;
    const int64_t size =
        int64_t(zu::core::readLE32(trailer)) | int64_t(zu::core::readLE32(trailer + 4)) << 32;
    if (size <= 0 || size > total - kTrailerSize)
    {
        error = "the game appended to " + executable + " is damaged";
        return false;
    }
    out.path = executable;
    out.offset = total - kTrailerSize - size;
    out.size = size;
    return findRoot(out, error);
}

zu::io::IReadFile* CGameArchive::openBytes(const SGameArchive& archive)
{
    kelvo::io::CReadFile* file = kelvo::io::CReadFile::create(archive.path);
    if (!file || (archive.offset == 0 && archive.size == file->getSize()))
        return file;
    zu::io::IReadFile* window = new kelvo::io::CLimitReadFile(
        file, int32_t(archive.offset), int32_t(archive.size), archive.path);
    file->drop();
    return window;
}

bool CGameArchive::findRoot(SGameArchive& archive, CString& error)
{
    zu::io::IReadFile* bytes = openBytes(archive);
    kelvo::io::CZipReader* zip = bytes ? kelvo::io::CZipReader::create(bytes) : nullptr;
    if (bytes)
        bytes->drop();
    if (!zip)
    {
        error = archive.path + " is not a zip archive";
        return false;
    }
    bool found = zip->hasFile(kMain);
    archive.root = CString();
    // Zipped from outside the game folder: one folder at the root holds it.
    for (int32_t i = 0; !found && i < zip->getFileCount(); ++i)
    {
        const CString& name = zip->getEntry(i).fullName;
        const size_t slash = name.find('/');
        if (slash != CString::npos && slash > 0 && name.substr(slash + 1) == kMain)
        {
            archive.root = name.substr(0, slash);
            found = true;
        }
    }
    zip->drop();
    if (!found)
        error = archive.path + " holds no " + kMain +
                ": zip the game folder's contents (pellora/main.lua at the archive's root), "
                "or the game folder itself";
    return found;
}

bool CGameArchive::fuse(const CString& executable, const CString& zip, const CString& output,
                        CString& error)
{
    SGameArchive archive;
    if (!openZip(zip, archive, error))
        return false;
    kelvo::io::CReadFile* runtime = kelvo::io::CReadFile::create(executable);
    kelvo::io::CReadFile* game = kelvo::io::CReadFile::create(zip);
    kelvo::io::CWriteFile* out = runtime && game ? kelvo::io::CWriteFile::create(output, false)
                                                 : nullptr;
    bool written = false;
    if (out)
    {
        // A fused executable given as the runtime keeps only its runtime part.
        SGameArchive inner;
        CString ignored;
        const int32_t runtimeSize = openFused(executable, inner, ignored)
                                        ? int32_t(inner.offset)
                                        : runtime->getSize();
        auto* runtimePart = new kelvo::io::CLimitReadFile(runtime, 0, runtimeSize, executable);
        uint8_t trailer[kTrailerSize];
        const uint64_t size = uint64_t(game->getSize());
        zu::core::writeLE32(trailer, uint32_t(size));
        zu::core::writeLE32(trailer + 4, uint32_t(size >> 32));
        memcpy(trailer + 8, kFuseMark, sizeof kFuseMark);
        written = copyAll(runtimePart, out) && copyAll(game, out) &&
                  out->write(trailer, kTrailerSize) == kTrailerSize;
        runtimePart->drop();
    }
    if (out)
        out->drop();
    if (game)
        game->drop();
    if (runtime)
        runtime->drop();
    if (!written)
    {
        error = "could not write " + output;
        return false;
    }
    if (!kelvo::COSOperator::makeExecutable(output))
    {
        error = "could not make " + output + " executable";
        return false;
    }
    return true;
}

} // namespace pellora
