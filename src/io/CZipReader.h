// CZipReader: the members of a zip archive, found by walking its local file
// headers once when the reader is made. Stored members are read through a
// window on the archive file; deflated members are inflated whole into memory
// when opened. Encrypted and Zip64 members are listed but cannot be opened.
#pragma once

#include "io/IArchiveReader.h"
#include "io/IReadFile.h"

#include <vector>

namespace kelvo::io
{

struct SZipFileEntry
{
    // The text after the last "/" of the stored name.
    zu::core::CString simpleName;
    // The whole stored name; empty for a member at the archive's root.
    zu::core::CString fullName;
    int32_t dataOffset = 0;

    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t compressionMethod = 0;
    uint16_t modTime = 0;
    uint16_t modDate = 0;
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;
};

class CZipReader : public zu::io::IArchiveReader
{
  public:
    // Scans the archive; null when the file is not a zip archive at all (its
    // first bytes are neither a member header nor an empty archive's end record).
    // The reader keeps a reference to the file.
    static CZipReader* create(zu::io::IReadFile* file);

    ~CZipReader() override;

    zu::io::IReadFile* createAndOpenFile(const zu::core::CString& name) override;
    bool hasFile(const zu::core::CString& name) const override { return findEntry(name) >= 0; }
    bool hasFolder(const zu::core::CString& folder) const override;
    zu::io::IFileList* createFileList(const zu::core::CString& folder,
                                      const zu::core::CString& filter) const override;
    int32_t getFileCount() const override { return static_cast<int32_t>(m_entries.size()); }

    // Entries sorted by simple name (bytes compared).
    const SZipFileEntry& getEntry(int32_t index) const { return m_entries[size_t(index)]; }
    // The index of a member, or -1.
    int32_t findEntry(const zu::core::CString& name) const;

  private:
    explicit CZipReader(zu::io::IReadFile* file);
    // Reads one local header and its data's extent; false ends the scan.
    bool scanLocalHeader();
    bool findDataDescriptor(SZipFileEntry& entry);
    zu::io::IReadFile* inflateEntry(const SZipFileEntry& entry);

    zu::io::IReadFile* m_file;
    std::vector<SZipFileEntry> m_entries;
};

} // namespace kelvo::io
