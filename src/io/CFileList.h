// CFileList: the entries of one disk folder that match a wildcard filter,
// sorted by name (the system's own order is arbitrary).
#pragma once

#include "io/IFileList.h"
#include "io/IFileSystem.h"

#include <vector>

namespace kelvo::io
{

class CFileList : public zu::io::IFileList
{
  public:
    // Lists `diskFolder`; full names are built on `folderPath`. A folder that
    // cannot be opened, or an empty filter, gives an empty list.
    CFileList(const zu::core::CString& folderPath, const zu::core::CString& diskFolder,
              const zu::core::CString& filter, zu::io::EFileListKind kind);

    int32_t getFileCount() const override { return static_cast<int32_t>(m_files.size()); }
    zu::core::CString getFileName(int32_t index) const override;
    zu::core::CString getFullFileName(int32_t index) const override;
    bool isDirectory(int32_t index) const override;
    int64_t getFileSize(int32_t index) const;

    // The folder-listing match: "*" any run of characters, "?" any one
    // character, letters compared without case, and a trailing ".*" also
    // matching a name without a dot (so "*.*" lists every name).
    static bool matchesFilter(const zu::core::CString& name, const zu::core::CString& filter);

  private:
    struct SEntry
    {
        zu::core::CString name;
        zu::core::CString fullName;
        int64_t size;
        bool isDirectory;
    };

    bool valid(int32_t index) const { return index >= 0 && index < getFileCount(); }

    zu::core::CString m_path;
    std::vector<SEntry> m_files;
};

} // namespace kelvo::io
