#include "io/CFileList.h"

#include "io/FileSystemCalls.h"

#include <algorithm>

namespace kelvo::io
{
namespace
{

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Only "*" characters left: they match the empty rest of a name.
bool onlyStars(const char* p, const char* end)
{
    for (; p < end; ++p)
        if (*p != '*') return false;
    return true;
}

bool match(const char* n, const char* nEnd, const char* p, const char* pEnd)
{
    // Greedy matching with one back-tracking point for the last "*": linear in
    // practice and never recursive, so long patterns cannot blow the stack.
    const char* starP = nullptr;
    const char* starN = nullptr;
    while (true)
    {
        if (n == nEnd)
        {
            if (onlyStars(p, pEnd)) return true;
            if (p < pEnd && *p == '.' && onlyStars(p + 1, pEnd) && p + 1 < pEnd) return true;
        }
        else if (p < pEnd && *p == '*')
        {
            starP = ++p;
            starN = n;
            continue;
        }
        else if (p < pEnd && (*p == '?' || lower(*p) == lower(*n)))
        {
            ++p;
            ++n;
            continue;
        }
        if (!starP || starN == nEnd) return false;
        p = starP;
        n = ++starN;
    }
}

} // namespace

bool CFileList::matchesFilter(const zu::core::CString& name, const zu::core::CString& filter)
{
    if (filter.empty()) return false;
    return match(name.data(), name.data() + name.size(), filter.data(),
                 filter.data() + filter.size());
}

CFileList::CFileList(const zu::core::CString& folderPath, const zu::core::CString& diskFolder,
                     const zu::core::CString& filter, zu::io::EFileListKind kind)
    : m_path(folderPath)
{
    if (filter.empty() || diskFolder.empty()) return;
    std::vector<os::SFolderEntry> items;
    if (!os::listFolder(diskFolder, items)) return;
    for (const os::SFolderEntry& item : items)
    {
        const zu::core::CString& name = item.name;
        if (!matchesFilter(name, filter)) continue;
        const bool isDir = item.isDirectory;
        if ((kind == zu::io::EFLK_FILES && isDir) || (kind == zu::io::EFLK_DIRECTORIES && !isDir))
            continue;
        SEntry entry{name, zu::core::CString(), isDir ? 0 : item.size, isDir};
        entry.fullName = m_path;
        if (!m_path.endsWith("/")) entry.fullName += '/';
        entry.fullName += name;
        m_files.push_back(std::move(entry));
    }
    std::sort(m_files.begin(), m_files.end(),
              [](const SEntry& a, const SEntry& b) { return a.name < b.name; });
}

zu::core::CString CFileList::getFileName(int32_t index) const
{
    return valid(index) ? m_files[size_t(index)].name : zu::core::CString();
}

zu::core::CString CFileList::getFullFileName(int32_t index) const
{
    return valid(index) ? m_files[size_t(index)].fullName : zu::core::CString();
}

bool CFileList::isDirectory(int32_t index) const
{
    return valid(index) && m_files[size_t(index)].isDirectory;
}

int64_t CFileList::getFileSize(int32_t index) const
{
    return valid(index) ? m_files[size_t(index)].size : 0;
}

} // namespace kelvo::io
