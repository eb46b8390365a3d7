// CZipFileList: the members directly inside one folder of an archive.
#pragma once

#include "io/IFileList.h"

#include <vector>

namespace kelvo::io
{

class CZipReader;

class CZipFileList : public zu::io::IFileList
{
  public:
    // Keeps the members whose full name is `folder` + "/" + their simple name
    // (for the root folder "", the members at the root). The filter "*" keeps
    // them all, "*" followed by text keeps the names ending with that text
    // (bytes compared); any other filter, the empty one included, keeps none.
    CZipFileList(const CZipReader& reader, const zu::core::CString& folder,
                 const zu::core::CString& filter);

    int32_t getFileCount() const override { return static_cast<int32_t>(m_files.size()); }
    // An index outside the list is a programming error here.
    zu::core::CString getFileName(int32_t index) const override;
    zu::core::CString getFullFileName(int32_t index) const override;
    bool isDirectory(int32_t index) const override;
    int64_t getFileSize(int32_t index) const;

  private:
    struct SEntry
    {
        zu::core::CString name;
        zu::core::CString fullName;
        int64_t size;
    };

    bool checkIndex(int32_t index) const;

    std::vector<SEntry> m_files;
};

} // namespace kelvo::io
