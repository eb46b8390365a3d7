#include "io/CZipReader.h"

#include "core/ByteOrder.h"
#include "core/Output.h"
#include "io/CLimitReadFile.h"
#include "io/CMemoryReadFile.h"
#include "io/IFileSystem.h"
#include "io/CZipFileList.h"

#include <algorithm>
#include <new>
#include <zlib.h>

namespace kelvo::io
{
namespace
{

using zu::core::CString;
using zu::core::ELL_ERROR;
using zu::core::ELL_INFORMATION;
using zu::core::ELL_WARNING;
using zu::core::zuLog;

constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kEndOfDirectorySignature = 0x06054b50;
constexpr uint32_t kZip64Marker = 0xFFFFFFFFu;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;
constexpr uint16_t kMaxNameLength = 1023;

// "img/a.png" -> ("a.png", "img/a.png"); "a.png" -> ("a.png", "").
void splitName(const CString& name, CString& simpleName, CString& fullName)
{
    size_t slash = name.rfind('/');
    if (slash == CString::npos)
    {
        simpleName = name;
        fullName = CString();
    }
    else
    {
        simpleName = name.substr(slash + 1);
        fullName = name;
    }
}

const CString& entryName(const SZipFileEntry& entry)
{
    return entry.fullName.empty() ? entry.simpleName : entry.fullName;
}

} // namespace

CZipReader* CZipReader::create(zu::io::IReadFile* file)
{
    if (!file || !file->seek(0)) return nullptr;
    uint8_t signature[4];
    if (file->read(signature, 4) != 4) return nullptr;
    uint32_t value = zu::core::readLE32(signature);
    if (value != kLocalHeaderSignature && value != kEndOfDirectorySignature) return nullptr;
    file->seek(0);

    CZipReader* reader = new CZipReader(file);
    while (reader->scanLocalHeader())
    {
    }
    std::stable_sort(reader->m_entries.begin(), reader->m_entries.end(),
                     [](const SZipFileEntry& a, const SZipFileEntry& b)
                     { return a.simpleName < b.simpleName; });
    return reader;
}

CZipReader::CZipReader(zu::io::IReadFile* file) : m_file(file)
{
    m_file->grab();
}

CZipReader::~CZipReader()
{
    m_file->drop();
}

bool CZipReader::scanLocalHeader()
{
    uint8_t header[30];
    if (m_file->read(header, 4) != 4 || zu::core::readLE32(header) != kLocalHeaderSignature)
        return false; // the central directory, or anything else, ends the list
    if (m_file->read(header + 4, 26) != 26) return false;

    SZipFileEntry entry;
    entry.versionNeeded = zu::core::readLE16(header + 4);
    entry.flags = zu::core::readLE16(header + 6);
    entry.compressionMethod = zu::core::readLE16(header + 8);
    entry.modTime = zu::core::readLE16(header + 10);
    entry.modDate = zu::core::readLE16(header + 12);
    entry.crc32 = zu::core::readLE32(header + 14);
    entry.compressedSize = zu::core::readLE32(header + 18);
    entry.uncompressedSize = zu::core::readLE32(header + 22);
    entry.nameLength = zu::core::readLE16(header + 26);
    entry.extraLength = zu::core::readLE16(header + 28);

    const int64_t archiveSize = m_file->getSize();
    int64_t pos = m_file->getPos();
    if (pos < 0 || pos + entry.nameLength + entry.extraLength > archiveSize) return false;

    bool keep = true;
    if (entry.nameLength > kMaxNameLength)
    {
        zuLog(ELL_WARNING, "CZipReader skipped a member whose name is longer than %d bytes",
              int(kMaxNameLength));
        keep = false;
        if (!m_file->seek(entry.nameLength, true)) return false;
    }
    else
    {
        char name[kMaxNameLength + 1];
        if (m_file->read(name, entry.nameLength) != entry.nameLength) return false;
        CString text(name, entry.nameLength);
        text.replace('\\', '/');
        splitName(text, entry.simpleName, entry.fullName);
    }
    if (!m_file->seek(entry.extraLength, true)) return false;
    entry.dataOffset = static_cast<int32_t>(pos + entry.nameLength + entry.extraLength);

    if (entry.flags & kFlagDataDescriptor)
    {
        if (!findDataDescriptor(entry)) return false;
    }
    else
    {
        if (int64_t(entry.compressedSize) > archiveSize - entry.dataOffset ||
            !m_file->seek(static_cast<int32_t>(entry.compressedSize), true))
        {
            zuLog(ELL_ERROR, "CZipReader failed to add %s", entryName(entry).c_str());
            return false;
        }
        if (keep) zuLog(ELL_INFORMATION, "CZipReader added %s", entryName(entry).c_str());
    }
    if (keep) m_entries.push_back(std::move(entry));
    return true;
}

bool CZipReader::findDataDescriptor(SZipFileEntry& entry)
{
    // The sizes follow the data, after the signature 50 4B 07 08. The same
    // four bytes may occur inside compressed data by chance, so a candidate only
    // counts when the size it records is its distance from the data's start.
    const int64_t archiveSize = m_file->getSize();
    uint8_t buffer[65536];
    int64_t from = entry.dataOffset;
    while (from + 4 <= archiveSize)
    {
        int64_t want = std::min<int64_t>(sizeof buffer, archiveSize - from);
        if (!m_file->seek(static_cast<int32_t>(from))) break;
        int32_t got = m_file->read(buffer, static_cast<uint32_t>(want));
        if (got < 4) break;
        for (int32_t i = 0; i + 4 <= got; ++i)
        {
            if (buffer[i] != 0x50 || buffer[i + 1] != 0x4b || buffer[i + 2] != 0x07 ||
                buffer[i + 3] != 0x08)
                continue;
            int64_t at = from + i;
            uint8_t record[12];
            if (at + 16 > archiveSize || !m_file->seek(static_cast<int32_t>(at + 4)) ||
                m_file->read(record, 12) != 12)
                continue;
            if (int64_t(zu::core::readLE32(record + 4)) != at - entry.dataOffset) continue;
            entry.crc32 = zu::core::readLE32(record);
            entry.compressedSize = zu::core::readLE32(record + 4);
            entry.uncompressedSize = zu::core::readLE32(record + 8);
            return true; // the file now stands at the next header
        }
        from += got - 3;
    }
    zuLog(ELL_ERROR, "Reached EOF while scanning for signature!");
    return false;
}

int32_t CZipReader::findEntry(const CString& name) const
{
    CString wanted = !name.empty() && name[0] == '/' ? name.substr(1) : name;
    CString simpleName, fullName;
    splitName(wanted, simpleName, fullName);
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].simpleName == simpleName && m_entries[i].fullName == fullName)
            return static_cast<int32_t>(i);
    return -1;
}

bool CZipReader::hasFolder(const CString& folder) const
{
    for (const SZipFileEntry& entry : m_entries)
        if (entry.fullName.startsWith(folder)) return true;
    return false;
}

zu::io::IFileList* CZipReader::createFileList(const CString& folder, const CString& filter) const
{
    return new CZipFileList(*this, folder, filter);
}

zu::io::IReadFile* CZipReader::createAndOpenFile(const CString& name)
{
    int32_t index = findEntry(name);
    if (index < 0) return nullptr;
    const SZipFileEntry& entry = m_entries[size_t(index)];
    const CString& memberName = entryName(entry);

    if (entry.flags & kFlagEncrypted)
    {
        zuLog(ELL_ERROR, "Cannot open encrypted zip member %s", memberName.c_str());
        return nullptr;
    }
    if (entry.compressedSize == kZip64Marker || entry.uncompressedSize == kZip64Marker)
    {
        zuLog(ELL_ERROR, "Cannot open Zip64 member %s", memberName.c_str());
        return nullptr;
    }
    switch (entry.compressionMethod)
    {
    case 0:
        if (entry.compressedSize != entry.uncompressedSize ||
            int64_t(entry.dataOffset) + entry.uncompressedSize > m_file->getSize())
        {
            zuLog(ELL_ERROR, "Damaged zip member %s: its sizes don't agree", memberName.c_str());
            return nullptr;
        }
        return new CLimitReadFile(m_file, entry.dataOffset,
                                  static_cast<int32_t>(entry.uncompressedSize), memberName);
    case 8:
        return inflateEntry(entry);
    default:
        zuLog(ELL_ERROR, "file has unsupported compression method. %s", memberName.c_str());
        return nullptr;
    }
}

zu::io::IReadFile* CZipReader::inflateEntry(const SZipFileEntry& entry)
{
    const CString& memberName = entryName(entry);
    const uint64_t compressed = entry.compressedSize;
    const uint64_t uncompressed = entry.uncompressedSize;
    if (uncompressed >= INT32_MAX ||
        int64_t(entry.dataOffset) + int64_t(compressed) > m_file->getSize() ||
        uncompressed > compressed * zu::io::MAX_DEFLATE_RATIO + 1024)
    {
        zuLog(ELL_ERROR, "Error decompressing %s: its sizes don't agree", memberName.c_str());
        return nullptr;
    }

    // One spare byte: data that inflates to more than the recorded size is
    // caught instead of silently cut.
    uint8_t* output = new (std::nothrow) uint8_t[uncompressed + 1];
    uint8_t* input = new (std::nothrow) uint8_t[compressed ? compressed : 1];
    if (!output || !input)
    {
        delete[] output;
        delete[] input;
        zuLog(ELL_ERROR, "Not enough memory for decompressing %s", memberName.c_str());
        return nullptr;
    }
    if (!m_file->seek(entry.dataOffset) ||
        m_file->read(input, static_cast<uint32_t>(compressed)) != int32_t(compressed))
    {
        delete[] output;
        delete[] input;
        zuLog(ELL_ERROR, "Error decompressing %s: the archive is cut short", memberName.c_str());
        return nullptr;
    }

    z_stream stream{};
    stream.next_in = input;
    stream.avail_in = static_cast<uInt>(compressed);
    stream.next_out = output;
    stream.avail_out = static_cast<uInt>(uncompressed + 1);
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
    {
        delete[] output;
        delete[] input;
        zuLog(ELL_ERROR, "Error decompressing %s", memberName.c_str());
        return nullptr;
    }
    int result = inflate(&stream, Z_FINISH);
    uint64_t produced = stream.total_out;
    inflateEnd(&stream);
    delete[] input;

    const char* problem = nullptr;
    if (result != Z_STREAM_END)
        problem = "damaged data";
    else if (produced != uncompressed)
        problem = "its size doesn't agree";
    else if (crc32(0L, output, static_cast<uInt>(uncompressed)) != entry.crc32)
        problem = "its checksum doesn't agree";
    if (problem)
    {
        delete[] output;
        zuLog(ELL_ERROR, "Error decompressing %s: %s", memberName.c_str(), problem);
        return nullptr;
    }
    return new CMemoryReadFile(output, static_cast<int32_t>(uncompressed), true, memberName);
}

} // namespace kelvo::io
