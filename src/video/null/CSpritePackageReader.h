// CSpritePackageReader: reads sprite package files (the format is described
// in video/SpritePackageFormat.h). At load time it reads the header, finds the
// pages and parses the image, bundle and animation tables; afterwards it
// decodes one page at a time from the file, which the package opens again
// when a page is first needed.
//
// Nothing in the file is trusted: every count, size and offset is checked
// against the bytes that are really there before it is used, and a file that
// fails a check is refused as a whole.
#pragma once

#include "video/null/SSpriteRecords.h"

#include <cstdint>
#include <vector>

namespace zu::io
{
class IReadFile;
}

namespace zu::video
{
class IImage;
}

namespace kelvo::video
{

class CSpritePackageReader
{
  public:
    // Reads the header and the tables from the file's start. On success the
    // reader keeps the header and where the pages are, and tables gets the
    // records in file order; on failure neither is changed.
    bool read(zu::io::IReadFile* file, SSpritePackageTables& tables);

    // Decodes page `page` from an open package file into a new A8R8G8B8
    // image (to drop); null when the bytes are short or do not inflate to
    // exactly one page.
    zu::video::IImage* readPage(zu::io::IReadFile* file, int32_t page) const;

    // The numeric id of an animation name: its decimal digits read as one
    // number, negative when the name starts with '-'; saturates.
    static int32_t animationIdOf(const zu::core::CString& name);

    int32_t getVersion() const { return m_version; }
    int32_t getPageSize() const { return m_pageSize; }
    int32_t getPagePixelFormat() const { return m_pagePixelFormat; }
    int32_t getPageCount() const { return m_pageCount; }
    // Where a page starts in the file; -1 for a page out of range.
    int64_t getPageOffset(int32_t page) const;
    int64_t getTablesOffset() const { return m_tablesOffset; }

  private:
    int32_t m_version = 0;
    int32_t m_pageSize = 0;
    int32_t m_pagePixelFormat = 0;
    int32_t m_pageCount = 0;
    uint32_t m_pageBytes = 0;
    bool m_compressed = false;
    std::vector<int32_t> m_pageStoredSizes;
    std::vector<int64_t> m_pageOffsets;
    int64_t m_tablesOffset = 0;
};

} // namespace kelvo::video
