#include "io/CZipFileList.h"

#include "core/Output.h"
#include "io/CZipReader.h"

namespace kelvo::io
{

CZipFileList::CZipFileList(const CZipReader& reader, const zu::core::CString& folder,
                           const zu::core::CString& filter)
{
    if (filter.empty() || filter[0] != '*') return;
    zu::core::CString suffix = filter.substr(1);
    for (int32_t i = 0; i < reader.getFileCount(); ++i)
    {
        const SZipFileEntry& entry = reader.getEntry(i);
        if (entry.simpleName.empty()) continue; // a folder's own entry
        bool inFolder = folder.empty() ? entry.fullName.empty()
                                       : entry.fullName == folder + "/" + entry.simpleName;
        if (!inFolder || !entry.simpleName.endsWith(suffix)) continue;
        m_files.push_back({entry.simpleName,
                           entry.fullName.empty() ? entry.simpleName : entry.fullName,
                           int64_t(entry.uncompressedSize)});
    }
}

bool CZipFileList::checkIndex(int32_t index) const
{
    if (index >= 0 && index < getFileCount()) return true;
    zu::core::checkFailed("No description", "index >= 0 && index < (s32)m_files.size()", __LINE__,
                          __FILE__);
    return false;
}

zu::core::CString CZipFileList::getFileName(int32_t index) const
{
    return checkIndex(index) ? m_files[size_t(index)].name : zu::core::CString();
}

zu::core::CString CZipFileList::getFullFileName(int32_t index) const
{
    return checkIndex(index) ? m_files[size_t(index)].fullName : zu::core::CString();
}

bool CZipFileList::isDirectory(int32_t index) const
{
    checkIndex(index);
    return false;
}

int64_t CZipFileList::getFileSize(int32_t index) const
{
    return checkIndex(index) ? m_files[size_t(index)].size : 0;
}

} // namespace kelvo::io
