#include "io/CFileSystem.h"

#include "core/Output.h"
#include "io/CFileList.h"
#include "io/CMemoryReadFile.h"
#include "io/CReadFile.h"
#include "io/CTextReader.h"
#include "io/CWriteFile.h"
#include "io/FileSystemCalls.h"
#include "io/CXMLReader.h"
#include "io/CXMLWriter.h"
#include "io/CZipReader.h"

#include <cerrno>
#include <climits>
#include <new>
#include <zlib.h>

namespace kelvo::io
{
namespace
{

using zu::core::CString;

CString currentDirectory()
{
    return os::currentFolder();
}

// "\" -> "/", runs of "/" -> one, no trailing "/".
CString normalise(CString path)
{
    path.replace('\\', '/');
    std::string out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i)
        if (path[i] != '/' || out.empty() || out.back() != '/') out += path[i];
    while (!out.empty() && out.back() == '/')
        out.pop_back();
    return out;
}

} // namespace

CFileSystem::CFileSystem()
    : m_workingDirectory(normalise(currentDirectory())), m_archiveExtensions{".zip"}
{
}

CFileSystem::~CFileSystem()
{
    removeAllArchives();
}

zu::io::IReadFile* CFileSystem::createAndOpenFile(const CString& path)
{
    const CString resolved = resolvePath(path);
    if (zu::io::IReadFile* file = CReadFile::create(resolved)) return file;

    // Member names are taken as written: they use "/" inside the archive.
    // Paths into a mounted archive usually begin with an alias (the zipped
    // game's $GAME_RESOURCES$), so those are looked for resolved.
    CString archivePath = findArchivePath(path);
    CString written = path;
    if (archivePath.empty())
    {
        archivePath = findMountedArchive(resolved);
        written = resolved;
    }
    if (archivePath.empty()) return nullptr;
    zu::io::IArchiveReader* archive = getArchive(archivePath);
    if (!archive) return nullptr;
    CString member = memberPart(written, archivePath);
    return member.empty() ? nullptr : archive->createAndOpenFile(member);
}

zu::io::IReadFile* CFileSystem::createMemoryReadFile(const CString& path)
{
    zu::io::IReadFile* file = createAndOpenFile(path);
    if (!file) return nullptr;
    int32_t size = file->getSize();
    uint8_t* data = new (std::nothrow) uint8_t[size > 0 ? size : 1];
    bool complete = data && file->seek(0) && file->read(data, uint32_t(size)) == size;
    file->drop();
    if (!complete)
    {
        delete[] data;
        return nullptr;
    }
    return new CMemoryReadFile(data, size, true, path);
}

zu::io::IWriteFile* CFileSystem::createAndWriteFile(const CString& path, bool append)
{
    CString resolved = resolvePath(path);
    if (resolved.empty()) return nullptr;
    return CWriteFile::create(resolved, append);
}

bool CFileSystem::compressBuffer(void* dest, uint32_t destCapacity, const void* source,
                                 uint32_t sourceLength, uint32_t& outLength)
{
    outLength = 0;
    if (!dest || (!source && sourceLength)) return false;
    uLongf length = destCapacity;
    if (compress2(static_cast<Bytef*>(dest), &length, static_cast<const Bytef*>(source),
                  sourceLength, 6) != Z_OK)
        return false;
    outLength = static_cast<uint32_t>(length);
    return true;
}

bool CFileSystem::uncompressBuffer(void* dest, uint32_t destCapacity, const void* source,
                                   uint32_t sourceLength, uint32_t& outLength)
{
    outLength = 0;
    if (!dest || !source) return false;
    uLongf length = destCapacity;
    if (uncompress(static_cast<Bytef*>(dest), &length, static_cast<const Bytef*>(source),
                   sourceLength) != Z_OK)
        return false;
    outLength = static_cast<uint32_t>(length);
    return true;
}

void CFileSystem::addDirAlias(const CString& alias, const CString& directory)
{
    // The checks' condition texts are part of their reports; keep them as written.
    // clang-format off
    if (!ZU_CHECK(alias.size()) || !ZU_CHECK(directory.size()) ||
        !ZU_CHECK(m_dirAliases.count( alias) == 0))
        return;
    // clang-format on
    m_dirAliases[alias] = resolvePath(directory);
}

void CFileSystem::addArchiveExtension(const CString& extension)
{
    if (!extension.empty()) m_archiveExtensions.insert(extension);
}

void CFileSystem::removeAllArchives() { zu::dropAll(m_archives); }

CString CFileSystem::getDirAlias(const CString& alias) const
{
    // clang-format off
    if (!ZU_CHECK(m_dirAliases.count( alias )))
        return CString();
    // clang-format on
    return m_dirAliases.at(alias);
}

bool CFileSystem::hasDirAlias(const CString& alias) const
{
    return m_dirAliases.count(alias) != 0;
}

CString CFileSystem::resolvePath(const CString& path) const
{
    // An alias's folder may itself begin with an alias, so expansion repeats.
    // Each round removes two "$" and stored folders hold at most one, so it ends.
    CString current = path;
    while (true)
    {
        size_t first = current.find('$');
        size_t second = first == CString::npos ? CString::npos : current.find('$', first + 1);
        if (second == CString::npos) return normalise(current);
        CString alias = current.substr(first, second - first + 1);
        auto found = m_dirAliases.find(alias);
        CString folder = found == m_dirAliases.end() ? CString() : found->second;
        current = folder + current.substr(second + 1);
    }
}

bool CFileSystem::createDirectory(const CString& path)
{
    CString resolved = resolvePath(path);
    return !resolved.empty() && os::makeFolder(resolved);
}

zu::io::IFileList* CFileSystem::createFileList(const CString& filter, const CString& folder,
                                               zu::io::EFileListKind kind)
{
    CString resolved = resolvePath(folder);
    if (!resolved.empty() && os::isFolder(resolved))
    {
        return new CFileList(folder, resolved, filter, kind);
    }
    CString archivePath = findArchivePath(resolved);
    if (!archivePath.empty())
    {
        if (zu::io::IArchiveReader* archive = getArchive(archivePath))
        {
            // The archive path itself lists the archive's root.
            CString inner = memberPart(resolved, archivePath);
            if (inner.empty() || archive->hasFolder(inner))
                return archive->createFileList(inner, filter);
        }
    }
    return new CFileList(folder, CString(), filter, kind);
}

bool CFileSystem::existFile(const CString& path, bool searchArchives)
{
    CString resolved = resolvePath(path);
    if (resolved.empty()) return false;
    if (os::exists(resolved)) return true;
    if (!searchArchives) return false;
    CString archivePath = findArchivePath(resolved);
    if (archivePath.empty()) return false;
    auto found = m_archives.find(archivePath);
    if (found == m_archives.end()) return false;
    CString member = memberPart(resolved, archivePath);
    return !member.empty() && found->second->hasFile(member);
}

zu::io::IXMLReader* CFileSystem::createXMLReader(zu::io::IReadFile* file)
{
    if (!file) return nullptr;
    auto* text = new CTextReader(file);
    auto* reader = new CXMLReader(text);
    text->drop();
    return reader;
}

zu::io::IXMLReader* CFileSystem::createXMLReader(const CString& path)
{
    zu::io::IReadFile* file = createAndOpenFile(path);
    if (!file) return nullptr;
    zu::io::IXMLReader* reader = createXMLReader(file);
    file->drop();
    return reader;
}

zu::io::IXMLWriter* CFileSystem::createXMLWriter(zu::io::IWriteFile* file)
{
    return new CXMLWriter(file);
}

zu::io::IXMLWriter* CFileSystem::createXMLWriter(const CString& path)
{
    zu::io::IWriteFile* file = createAndWriteFile(path, false);
    zu::io::IXMLWriter* writer = createXMLWriter(file);
    if (file) file->drop();
    return writer;
}

bool CFileSystem::changeWorkingDirectoryTo(const CString& path)
{
    if (!path.empty() && os::changeFolder(path))
    {
        m_inArchive = false;
        m_archivePath = CString();
        m_workingDirectory = path;
        return true;
    }
    CString archivePath = findArchivePath(path);
    zu::io::IArchiveReader* archive = archivePath.empty() ? nullptr : getArchive(archivePath);
    if (archive && archive->hasFolder(memberPart(path, archivePath)))
    {
        m_inArchive = true;
        m_archivePath = archivePath;
        m_workingDirectory = path;
        return true;
    }
    // The working directory stays where it was, and so does what it lies in.
    return false;
}

bool CFileSystem::addFileArchive(const CString& path, zu::io::IReadFile* file)
{
    const CString resolved = resolvePath(path);
    if (resolved.empty()) return false;
    if (m_archives.count(resolved) == 0)
    {
        zu::io::IReadFile* source = file;
        if (source)
            source->grab();
        else
            source = CReadFile::create(resolved);
        if (!source) return false;
        CZipReader* reader = CZipReader::create(source);
        source->drop();
        if (!reader)
        {
            zu::core::zuLog(zu::core::ELL_ERROR, "Error opening zip file %s", resolved.c_str());
            return false;
        }
        m_archives[resolved] = reader;
    }
    m_mountedArchives.push_back(resolved);
    return true;
}

CString CFileSystem::findMountedArchive(const CString& path) const
{
    for (const CString& mounted : m_mountedArchives)
        if (path.startsWith(mounted) && (path.size() == mounted.size() || path[mounted.size()] == '/'))
            return mounted;
    return CString();
}

CString CFileSystem::findArchivePath(const CString& path) const
{
    CString mounted = findMountedArchive(path);
    if (!mounted.empty()) return mounted;
    for (const CString& extension : m_archiveExtensions)
    {
        size_t at = path.find(extension);
        if (at != CString::npos && at > 0) return path.substr(0, at + extension.size());
    }
    return CString();
}

zu::io::IArchiveReader* CFileSystem::getArchive(const CString& archivePath)
{
    auto found = m_archives.find(archivePath);
    if (found != m_archives.end()) return found->second;

    CReadFile* file = CReadFile::create(resolvePath(archivePath));
    if (!file) return nullptr;
    zu::core::zuLog(zu::core::ELL_INFORMATION, "Opening zip file %s", archivePath.c_str());
    CZipReader* reader = CZipReader::create(file);
    file->drop();
    if (!reader)
    {
        zu::core::zuLog(zu::core::ELL_ERROR, "Error opening zip file %s", archivePath.c_str());
        return nullptr;
    }
    m_archives[archivePath] = reader;
    return reader;
}

CString CFileSystem::memberPart(const CString& path, const CString& archivePath)
{
    return path.size() > archivePath.size() + 1 ? path.substr(archivePath.size() + 1) : CString();
}

} // namespace kelvo::io
